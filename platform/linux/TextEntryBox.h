#pragma once

#include "editor/IBounds.h"
#include "editor/ITextStyle.h"

namespace torvane {

class CachedFont;
class IControl;
class IGraphics;
class IParameter;

// The typed-entry box the X11 editor draws itself over a read-out: one line of
// text with a caret and a selection, in the style's font and entry colours.
// It holds at most the control's entry length of characters and, for a
// parameter, only the characters a number of its type can have; it opens with
// everything selected, so that typing replaces the value shown. Owned by
// IGraphicsX11 while the entry is open; window thread.
class TextEntryBox {
 public:
  // Room for the longest text a box starts with; typing stops at the
  // control's entry length.
  static constexpr int kMaxBytes = 64;

  TextEntryBox(IControl& control, const ITextStyle& style, const IBounds& rect, const char* text,
               IParameter* parameter) noexcept;
  TextEntryBox(const TextEntryBox&) = delete;
  TextEntryBox& operator=(const TextEntryBox&) = delete;

  IControl& Control() const noexcept { return control_; }
  IParameter* Parameter() const noexcept { return parameter_; }
  // Where the box draws: the rectangle given and one more pixel right and below.
  const IBounds& Rect() const noexcept { return rect_; }
  const char* Text() const noexcept { return text_; }
  int Length() const noexcept { return length_; }
  int Caret() const noexcept { return caret_; }
  int SelectionStart() const noexcept { return caret_ < anchor_ ? caret_ : anchor_; }
  int SelectionEnd() const noexcept { return caret_ < anchor_ ? anchor_ : caret_; }

  // Editing. A typed character replaces the selection; false when the
  // character is refused (filtered, or the box is full).
  bool Type(char c) noexcept;
  void Backspace() noexcept;
  void DeleteForward() noexcept;
  // Puts the caret at position (limited to the text); with extend the
  // selection runs from where it started to there.
  void MoveCaret(int position, bool extend) noexcept;
  void SelectAll() noexcept;
  // The caret position nearest to pixel column x.
  int PositionAt(int x) noexcept;

  void SetCaretVisible(bool visible) noexcept { caretVisible_ = visible; }
  bool CaretVisible() const noexcept { return caretVisible_; }
  // Draws the box into the editor's surface.
  void Draw(IGraphics& graphics) noexcept;

 private:
  // Width of the first count characters, in pixels.
  int PrefixWidth(int count) noexcept;
  // Left end of the text: aligned as the style says while it fits, scrolled
  // to keep the caret inside otherwise.
  int TextLeft() noexcept;
  bool DeleteSelection() noexcept;
  CachedFont* Font() noexcept;

  IControl& control_;
  ITextStyle style_;
  IBounds rect_;
  IParameter* parameter_;
  int maxLength_;
  char text_[kMaxBytes] = {};
  int length_ = 0;
  int caret_ = 0;
  int anchor_ = 0;
  int scroll_ = 0;
  bool caretVisible_ = true;
};

}  // namespace torvane
