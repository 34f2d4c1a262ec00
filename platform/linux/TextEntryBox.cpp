#include "platform/linux/TextEntryBox.h"

#include <algorithm>
#include <cstring>

#include "editor/FontStore.h"
#include "editor/IControl.h"
#include "editor/IGraphics.h"
#include "editor/TypedEntryRules.h"
#include "raster/CachedFont.h"

namespace torvane {

namespace {

// Space between the box's edge and its text, as a native entry box leaves it.
constexpr int kMargin = 1;

bool IsPrintable(char c) noexcept { return c >= 0x20 && c < 0x7F; }

}  // namespace

TextEntryBox::TextEntryBox(IControl& control, const ITextStyle& style, const IBounds& rect, const char* text,
                           IParameter* parameter) noexcept
    : control_(control),
      style_(style),
      rect_{rect.left, rect.top, rect.right + 1, rect.bottom + 1},
      parameter_(parameter),
      maxLength_(std::min(control.TextEntryLength(), kMaxBytes - 1)) {
  style_.cachedFont = nullptr;
  for (const char* p = text ? text : ""; *p && length_ < kMaxBytes - 1; ++p) {
    // The glyph cache draws characters one byte wide; anything else would
    // only be a box the user cannot type back.
    if (IsPrintable(*p)) text_[length_++] = *p;
  }
  SelectAll();
}

CachedFont* TextEntryBox::Font() noexcept {
  if (!style_.cachedFont) style_.cachedFont = FontStore::Instance().FontFor(style_);
  return style_.cachedFont;
}

bool TextEntryBox::Type(char c) noexcept {
  if (!IsPrintable(c) || !TypedEntryAccepts(parameter_, c)) return false;
  const bool replaced = DeleteSelection();
  if (length_ >= maxLength_) return replaced;
  std::memmove(text_ + caret_ + 1, text_ + caret_, static_cast<size_t>(length_ - caret_ + 1));
  text_[caret_] = c;
  ++length_;
  anchor_ = ++caret_;
  return true;
}

bool TextEntryBox::DeleteSelection() noexcept {
  const int start = SelectionStart();
  const int end = SelectionEnd();
  if (start == end) return false;
  std::memmove(text_ + start, text_ + end, static_cast<size_t>(length_ - end + 1));
  length_ -= end - start;
  caret_ = anchor_ = start;
  return true;
}

void TextEntryBox::Backspace() noexcept {
  if (DeleteSelection() || caret_ == 0) return;
  anchor_ = caret_ - 1;
  DeleteSelection();
}

void TextEntryBox::DeleteForward() noexcept {
  if (DeleteSelection() || caret_ == length_) return;
  anchor_ = caret_ + 1;
  DeleteSelection();
}

void TextEntryBox::MoveCaret(int position, bool extend) noexcept {
  caret_ = std::clamp(position, 0, length_);
  if (!extend) anchor_ = caret_;
}

void TextEntryBox::SelectAll() noexcept {
  anchor_ = 0;
  caret_ = length_;
}

int TextEntryBox::PrefixWidth(int count) noexcept {
  CachedFont* font = Font();
  if (!font || count <= 0) return 0;
  // Measuring puts every glyph of the text into the font's cache.
  RasterRect extent{0, 0, 0, 0};
  font->RenderTextInto(nullptr, text_, count, &extent, kTextMeasure | kTextSingleLine);
  int width = 0;
  for (int i = 0; i < count; ++i) {
    if (const CachedFont::Glyph* glyph = font->FindGlyph(static_cast<unsigned char>(text_[i]))) {
      width += glyph->advance;
    }
  }
  return width;
}

int TextEntryBox::TextLeft() noexcept {
  const int room = rect_.Width() - 2 * kMargin;
  const int width = PrefixWidth(length_);
  if (width <= room) {
    scroll_ = 0;
    if (style_.alignment == TextAlignCentre) return rect_.left + (rect_.Width() - width) / 2;
    if (style_.alignment == TextAlignRight) return rect_.right - kMargin - width;
    return rect_.left + kMargin;
  }
  const int caretX = PrefixWidth(caret_);
  scroll_ = std::clamp(scroll_, caretX - room, caretX);
  scroll_ = std::clamp(scroll_, 0, width - room);
  return rect_.left + kMargin - scroll_;
}

int TextEntryBox::PositionAt(int x) noexcept {
  const int left = TextLeft();
  int best = 0;
  int bestDistance = std::abs(x - left);
  for (int i = 1; i <= length_; ++i) {
    const int distance = std::abs(x - (left + PrefixWidth(i)));
    if (distance < bestDistance) {
      best = i;
      bestDistance = distance;
    }
  }
  return best;
}

void TextEntryBox::Draw(IGraphics& graphics) noexcept {
  IRasterBitmap* surface = graphics.Surface();
  if (!surface) return;
  graphics.FillArea(style_.entryBackground, rect_);
  CachedFont* font = Font();
  if (!font) return;
  const RasterRect clip{rect_.left, rect_.top, rect_.right, rect_.bottom};
  const int lineHeight = font->LineHeight();
  const int left = TextLeft();
  const int top = rect_.top;

  const int selectionStart = SelectionStart();
  const int selectionEnd = SelectionEnd();
  if (selectionStart < selectionEnd) {
    // Selected text shows in the entry colours swapped.
    IBounds selection{std::max(left + PrefixWidth(selectionStart), rect_.left), top,
                      std::min(left + PrefixWidth(selectionEnd), rect_.right), std::min(top + lineHeight, rect_.bottom)};
    if (selection.Width() > 0 && selection.Height() > 0) graphics.FillArea(style_.entryText, selection);
  }
  int pen = left;
  for (int i = 0; i < length_; ++i) {
    const auto c = static_cast<unsigned char>(text_[i]);
    const bool selected = i >= selectionStart && i < selectionEnd;
    font->SetTextColour((selected ? style_.entryBackground : style_.entryText).Packed());
    font->DrawGlyph(surface, c, pen, top, &clip);
    if (const CachedFont::Glyph* glyph = font->FindGlyph(c)) pen += glyph->advance;
  }
  if (caretVisible_) {
    const int x = left + PrefixWidth(caret_);
    if (x >= rect_.left && x < rect_.right) {
      graphics.FillArea(style_.entryText, {x, top, x + 1, std::min(top + lineHeight, rect_.bottom)});
    }
  }
}

}  // namespace torvane
