#pragma once

#include "editor/IGraphics.h"
#include "system/win/WindowsApi.h"

namespace torvane {

// The editor on Windows: a child window inside the window the host gives on
// editor open. It turns window messages into IGraphics calls, repaints the
// dirty controls on a timer by copying the surface to the screen, and offers
// the typed-entry box, popup menus, file and colour dialogs, message boxes,
// web links, the clipboard and the user's folders. One per effect instance,
// made by CreateGraphics and owned by the plug-in base; everything runs on the
// thread that owns the window, the host's user-interface thread (values from
// other threads arrive as IGraphics describes).
class IGraphicsWin : public IGraphics {
 public:
  // Where an open typed-entry box stands. The repaint timer closes a box in
  // kCancel and kCommit (committing in kCommit) and returns the others to kIdle.
  enum class EntryState : int { kIdle = 0, kFocused = 1, kShown = 2, kCancel = 3, kCommit = 4 };

  static constexpr UINT_PTR kTimerId = 2;
  static constexpr int kEntryBoxId = 99;
  // The typed-entry box carries this in its user data.
  static constexpr LONG_PTR kEntryBoxMarker = 0xdeadf00b;

  explicit IGraphicsWin(IEffectBase& effect) noexcept;
  ~IGraphicsWin() override;

  bool PresentArea(const IBounds& area) override;
  void CancelTextEntry() override;
  // Also resizes the window and, depending on the host, its parents.
  void ResizeSurface(int width, int height) override;
  const char* BackendName() const override { return "Windows GDI"; }
  int ShowMessage(const char* text, const char* caption, int type) override;
  IPopupMenu* ShowPopupMenu(IPopupMenu& menu, const IBounds& rect) override;
  void OpenTextEntry(IControl* control, const ITextStyle& style, const IBounds& rect, const char* text,
                     IParameter* parameter) override;
  void HostExecutablePath(GrowableText& out) override;
  void ModulePath(GrowableText& out) override;
  void DesktopFolder(GrowableText& out) override;
  void DocumentsFolder(GrowableText& out) override;
  void AppDataFolder(GrowableText& out, bool common = false) override;
  void AskForFile(GrowableText& fileName, int action, GrowableText& folder, const char* extensions) override;
  bool AskForColour(IArgb& colour, const char* prompt) override;
  bool OpenAddress(const char* address, const char* caption, const char* confirmText,
                   const char* errorText) override;
  // Opens the editor window in parentWindow (an HWND), or moves an open one
  // there; false when the window cannot be created.
  bool OpenEditorWindow(void* parentWindow) override;
  void CloseEditorWindow() override;
  void* WindowHandle() const override { return window_; }
  bool ReadClipboardText(GrowableText& out) override;
  void HideCursor() override;
  void RestoreCursor() override;
  // Also the shape the window shows whenever the system asks it for one.
  void SetCursorShape(SystemCursor cursor) override;
  std::unique_ptr<IRasterBitmap> LoadPlatformImage(int resourceId, const char* resourceName) override;

 private:
  // --- the window procedure (IGraphicsWinMessages.cpp) ---
  static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  // Pointer, key and timer messages; false for one the editor does not take.
  bool HandleInput(UINT message, WPARAM wParam, LPARAM lParam);
  void HandleKey(UINT message, WPARAM wParam, LPARAM lParam);
  void OnTimerTick();
  // The host destroyed the window without closing the editor.
  void ForgetDestroyedWindow();

  // --- typed entry (IGraphicsWinTextEntry.cpp) ---
  static LRESULT CALLBACK EntryProcedure(HWND box, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleEntryMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void CommitTextEntry();
  void CloseTextEntry();
  LRESULT ColourEntryBox(HDC context);

  // The host's top-level window, which owns message boxes.
  HWND TopLevelWindow();
  // Leaves nothing of the window's session behind: no entry box, no hidden
  // pointer, no gesture the closing window cannot finish.
  void EndWindowSession();

  HWND window_ = nullptr;
  HWND entryBox_ = nullptr;
  HFONT entryFont_ = nullptr;
  IControl* entryControl_ = nullptr;
  IParameter* entryParameter_ = nullptr;
  WNDPROC savedEntryProcedure_ = nullptr;
  EntryState entryState_ = EntryState::kIdle;
  // Kept between colour dialogs.
  COLORREF customColours_[16] = {};
  HWND topLevelWindow_ = nullptr;
  char topLevelClass_[128] = "";
  // Wheel movement short of a whole notch, in raw units.
  int wheelRemainder_ = 0;
  SystemCursor cursorShape_ = SystemCursor::Arrow;
  bool cursorHidden_ = false;
  POINT savedCursor_ = {-1, -1};
};

}  // namespace torvane
