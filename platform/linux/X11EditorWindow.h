#pragma once

#include <X11/Xlib.h>

#include "editor/IBounds.h"
#include "platform/linux/X11SurfaceImage.h"
#include "system/SystemCursor.h"

namespace torvane {

class IRasterBitmap;

// The editor's child window inside the window the host gave, on a display
// connection of its own: creating, naming and destroying it, its size,
// copying the surface into it, pointer shape and keyboard focus, and the
// events for it. Owned by IGraphicsX11 while the editor is open; used under
// the editor's window lock, from the host's user-interface thread or the
// editor's repaint thread. Callers set an error trap around what they call.
class X11EditorWindow {
 public:
  // Window class and title, which tests and window tools find the editor by.
  static constexpr const char* kClassName = "TorvaneWndClass";
  static constexpr const char* kTitle = "Torvane";

  X11EditorWindow() noexcept = default;
  // Destroys the window (unless the server already did) and closes the connection.
  ~X11EditorWindow();
  X11EditorWindow(const X11EditorWindow&) = delete;
  X11EditorWindow& operator=(const X11EditorWindow&) = delete;

  // Opens the connection, then creates and maps the window; false, with
  // nothing left behind, when the display, the parent or its visual cannot
  // be used.
  bool Open(Window parent, int width, int height) noexcept;

  Display* GetDisplay() const noexcept { return display_; }
  Window Handle() const noexcept { return window_; }
  // True once the server destroyed the window, as it does with the host's
  // window it lives in; nothing is sent for it after that.
  bool Destroyed() const noexcept { return destroyed_; }
  bool UsesSharedMemory() const noexcept { return image_.UsesSharedMemory(); }
  bool PresentsStraightFromSurface() const noexcept { return image_.ViewsSurface(); }

  // Takes the next queued event for the window, without waiting; false when
  // there is none.
  bool NextEvent(XEvent& event) noexcept;
  // Takes the next exposure of the window, leaving its other events queued;
  // false when there is none. Notes the window's destruction.
  bool NextExposure(XEvent& event) noexcept;
  // True when the next queued event is more pointer motion.
  bool MotionQueued() noexcept;

  // Copies area of the surface to the same place in the window.
  void Present(const IRasterBitmap& surface, const IBounds& area) noexcept;
  void Resize(int width, int height) noexcept;
  // Sizes the host's window to hold the editor at its new size where it
  // stands: from that size, not by the change, so that a window that once
  // could not follow does not stay off.
  void FitParentAround(int width, int height) noexcept;

  void SetPointerShape(SystemCursor shape) noexcept;
  // Hides the pointer, remembering where it is; restoring puts it back there.
  void HidePointer() noexcept;
  void RestorePointer() noexcept;

  // Keyboard focus for typed entry, and back to where it was.
  void TakeFocus(Time time) noexcept;
  void ReturnFocus() noexcept;
  // Hands a key the editor did not use to the host's top-level window.
  void ForwardKey(const XKeyEvent& key) noexcept;

 private:
  static constexpr int kShapes = 4;

  void Close() noexcept;
  // The host's top-level window: the outermost ancestor a window manager
  // looks after, or the outermost below the root without one.
  Window TopLevel() noexcept;

  Display* display_ = nullptr;
  Window parent_ = 0;
  Window window_ = 0;
  GC gc_ = nullptr;
  X11SurfaceImage image_;
  Cursor cursors_[kShapes] = {};
  SystemCursor shape_ = SystemCursor::Arrow;
  Cursor hiddenCursor_ = 0;
  bool pointerHidden_ = false;
  int hiddenAtX_ = 0;
  int hiddenAtY_ = 0;
  bool focusTaken_ = false;
  Window focusBefore_ = 0;
  int revertBefore_ = 0;
  Window topLevel_ = 0;
  bool destroyed_ = false;
};

}  // namespace torvane
