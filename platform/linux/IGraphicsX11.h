#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "core/RecursiveLock.h"
#include "editor/IGraphicsPortable.h"
#include "platform/linux/RepaintTimer.h"

union _XEvent;

namespace torvane {

class TextEntryBox;
class X11EditorWindow;

// The editor on Linux: a child window in the X11 window the host gives on
// editor open, on a display connection of its own. Pointer, wheel and key
// events become the IGraphics entry points, repaints copy the surface to the
// window (through shared memory where the server offers it), and typed entry
// is a box drawn into the surface. The window is driven by the host's idle
// request from its user-interface thread: input, and with it every call to
// the host, is handled there only. For a host that stops sending it, a
// repaint thread of our own paints and presents what changed meanwhile (the
// input waits for the next idle request). Both hold the window lock, which
// the host's open and close requests take before the plug-in lock. The
// folders, images and the services without a window are the portable ones. One
// per effect instance, owned like any IGraphics.
class IGraphicsX11 final : public IGraphicsPortable {
 public:
  // How long the host may leave out the idle request before the editor's own
  // repaint thread ticks instead: hosts send it at least a few times a second.
  static constexpr int kIdleSilenceMs = 250;

  explicit IGraphicsX11(IEffectBase& effect) noexcept;
  ~IGraphicsX11() override;

  bool PresentArea(const IBounds& area) override;
  void CancelTextEntry() override;
  void ResizeSurface(int width, int height) override;
  const char* BackendName() const override { return "X11"; }
  void OpenTextEntry(IControl* control, const ITextStyle& style, const IBounds& rect, const char* text,
                     IParameter* parameter) override;
  // parentWindow is the host's X11 window id.
  bool OpenEditorWindow(void* parentWindow) override;
  void CloseEditorWindow() override;
  void* WindowHandle() const override;
  void HideCursor() override;
  void RestoreCursor() override;
  bool HasWindow() const override { return true; }
  void Idle() override;
  RecursiveLock* WindowLock() noexcept override { return &windowLock_; }

  void SetCursorShape(SystemCursor cursor) override;
  // True while the window's image lives in memory shared with the X server.
  bool PresentsThroughSharedMemory() const;
  // True while the window shows the surface from the surface's own memory,
  // with no image of its own.
  bool PresentsStraightFromSurface() const;

 protected:
  // In memory the X server can read from, where the system gives it.
  std::unique_ptr<IRasterBitmap> MakeSurface(int width, int height) override;

 private:
  static void TimerTick(void* self) noexcept;
  // One round of the window's life on the host's thread: its events, the
  // typed entry's caret, and the repaint of what changed.
  void Tick();
  // The repaint thread's round: exposures and the repaint, no input.
  void RepaintOnly();
  // The caret, the dirty controls and the exposed parts onto the window.
  void Repaint();
  void HandleEvent(const _XEvent& event);
  void HandleButtonPress(const _XEvent& event);
  void HandleButtonRelease(const _XEvent& event);
  void HandleMotion(const _XEvent& event);
  void HandleKey(const _XEvent& event);
  void HandleEntryKey(const _XEvent& event);
  // Commits or drops the typed entry and closes the box.
  void FinishTextEntry(bool commit);
  void ReleaseWindow();
  // Requests made outside a tick go to the server now; their errors, if any,
  // arrive in the next tick's trap.
  void SendOutsideTick();
  static int64_t NowMs() noexcept;

  mutable RecursiveLock windowLock_;
  std::unique_ptr<X11EditorWindow> window_;
  std::unique_ptr<TextEntryBox> entry_;
  RepaintTimer timer_;
  std::atomic<int64_t> lastIdleMs_{0};
  // Areas waiting for the next repaint: to paint again, or only to copy to
  // the window from the surface (exposed by the server).
  IBounds pendingPaint_;
  IBounds pendingPresent_;
  // A button press went to the editor: its drags and releases do too. X
  // sends them to the window pressed in wherever the pointer goes.
  bool pressDelivered_ = false;
  unsigned long lastPressTime_ = 0;
  int lastPressX_ = 0;
  int lastPressY_ = 0;
  bool lastPressCounts_ = false;
  unsigned long lastEventTime_ = 0;
  int64_t caretToggledMs_ = 0;
  bool ticking_ = false;
  bool closeAfterTick_ = false;
};

}  // namespace torvane
