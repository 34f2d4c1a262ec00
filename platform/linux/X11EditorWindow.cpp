#include "platform/linux/X11EditorWindow.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/cursorfont.h>

#include <algorithm>

#include "platform/linux/X11Connection.h"
#include "platform/linux/X11ErrorTrap.h"

namespace torvane {

namespace {

constexpr long kEventMask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | KeyPressMask |
                            KeyReleaseMask | EnterWindowMask | LeaveWindowMask | StructureNotifyMask |
                            FocusChangeMask;

// Cursor font shapes, in the order of SystemCursor.
constexpr unsigned kCursorShapes[] = {XC_left_ptr, XC_bottom_right_corner, XC_sb_h_double_arrow,
                                      XC_sb_v_double_arrow};

bool IsTrueColour(const Visual* visual) noexcept {
  return visual && (visual->c_class == TrueColor || visual->c_class == DirectColor);
}

}  // namespace

X11EditorWindow::~X11EditorWindow() { Close(); }

bool X11EditorWindow::Open(Window parent, int width, int height) noexcept {
  Close();
  if (!parent || width <= 0 || height <= 0) return false;
  display_ = OpenX11Connection();
  if (!display_) return false;
  parent_ = parent;
  bool ready = false;
  {
    X11ErrorTrap trap(display_);
    XWindowAttributes parentAttributes;
    if (XGetWindowAttributes(display_, parent, &parentAttributes) && !trap.Failed() &&
        IsTrueColour(parentAttributes.visual)) {
      XSetWindowAttributes attributes = {};
      // No background: the server would clear exposed parts before we paint them.
      attributes.background_pixmap = None;
      attributes.bit_gravity = NorthWestGravity;
      attributes.event_mask = kEventMask;
      window_ = XCreateWindow(display_, parent, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height), 0,
                              CopyFromParent, InputOutput, CopyFromParent,
                              CWBackPixmap | CWBitGravity | CWEventMask, &attributes);
      XStoreName(display_, window_, kTitle);
      XClassHint classHint{const_cast<char*>(kTitle), const_cast<char*>(kClassName)};
      XSetClassHint(display_, window_, &classHint);
      gc_ = XCreateGC(display_, window_, 0, nullptr);
      XMapWindow(display_, window_);
      ready = !trap.Failed() && image_.Configure(display_, parentAttributes.visual, parentAttributes.depth,
                                                 XShmQueryExtension(display_));
    }
  }
  if (!ready) Close();
  return ready;
}

void X11EditorWindow::Close() noexcept {
  if (!display_) return;
  {
    X11ErrorTrap trap(display_);
    ReturnFocus();
    if (pointerHidden_) RestorePointer();
    image_.Release();
    if (window_ && !destroyed_) XDestroyWindow(display_, window_);
    for (Cursor& cursor : cursors_) {
      if (cursor) XFreeCursor(display_, cursor);
      cursor = 0;
    }
    if (hiddenCursor_) XFreeCursor(display_, hiddenCursor_);
    if (gc_) XFreeGC(display_, gc_);
  }
  XCloseDisplay(display_);
  display_ = nullptr;
  parent_ = window_ = topLevel_ = 0;
  gc_ = nullptr;
  hiddenCursor_ = 0;
  shape_ = SystemCursor::Arrow;
  pointerHidden_ = focusTaken_ = destroyed_ = false;
}

bool X11EditorWindow::NextEvent(XEvent& event) noexcept {
  while (XPending(display_) > 0) {
    XNextEvent(display_, &event);
    if (event.xany.window != window_) continue;
    if (event.type == DestroyNotify) destroyed_ = true;
    return true;
  }
  return false;
}

bool X11EditorWindow::NextExposure(XEvent& event) noexcept {
  if (XCheckTypedWindowEvent(display_, window_, DestroyNotify, &event)) destroyed_ = true;
  return !destroyed_ && XCheckTypedWindowEvent(display_, window_, Expose, &event);
}

bool X11EditorWindow::MotionQueued() noexcept {
  if (XEventsQueued(display_, QueuedAlready) == 0) return false;
  XEvent next;
  XPeekEvent(display_, &next);
  return next.type == MotionNotify && next.xany.window == window_;
}

void X11EditorWindow::Present(const IRasterBitmap& surface, const IBounds& area) noexcept {
  if (!destroyed_) image_.Put(window_, gc_, surface, area);
}

void X11EditorWindow::Resize(int width, int height) noexcept {
  if (destroyed_ || width <= 0 || height <= 0) return;
  // The host sizes its window around ours next: the new size is on the
  // server when we return. The image follows the resized surface when it is
  // next presented.
  X11ErrorTrap trap(display_);
  XResizeWindow(display_, window_, static_cast<unsigned>(width), static_cast<unsigned>(height));
}

void X11EditorWindow::FitParentAround(int width, int height) noexcept {
  Window root = 0;
  int x = 0;
  int y = 0;
  unsigned ownWidth = 0;
  unsigned ownHeight = 0;
  unsigned border = 0;
  unsigned depth = 0;
  if (destroyed_ || !XGetGeometry(display_, window_, &root, &x, &y, &ownWidth, &ownHeight, &border, &depth)) return;
  const int parentWidth = std::max(1, x + width);
  const int parentHeight = std::max(1, y + height);
  XResizeWindow(display_, parent_, static_cast<unsigned>(parentWidth), static_cast<unsigned>(parentHeight));
}

void X11EditorWindow::SetPointerShape(SystemCursor shape) noexcept {
  shape_ = shape;
  if (destroyed_ || pointerHidden_) return;
  Cursor& cursor = cursors_[static_cast<int>(shape)];
  if (!cursor) cursor = XCreateFontCursor(display_, kCursorShapes[static_cast<int>(shape)]);
  XDefineCursor(display_, window_, cursor);
}

void X11EditorWindow::HidePointer() noexcept {
  if (destroyed_ || pointerHidden_) return;
  Window root = 0;
  Window child = 0;
  int windowX = 0;
  int windowY = 0;
  unsigned buttons = 0;
  if (!XQueryPointer(display_, window_, &root, &child, &hiddenAtX_, &hiddenAtY_, &windowX, &windowY, &buttons)) {
    return;
  }
  if (!hiddenCursor_) {
    // A cursor of one transparent pixel.
    const char noBits[1] = {0};
    Pixmap blank = XCreateBitmapFromData(display_, window_, noBits, 1, 1);
    XColor black = {};
    hiddenCursor_ = XCreatePixmapCursor(display_, blank, blank, &black, &black, 0, 0);
    XFreePixmap(display_, blank);
  }
  XDefineCursor(display_, window_, hiddenCursor_);
  pointerHidden_ = true;
}

void X11EditorWindow::RestorePointer() noexcept {
  if (!pointerHidden_) return;
  pointerHidden_ = false;
  if (destroyed_) return;
  XWarpPointer(display_, None, DefaultRootWindow(display_), 0, 0, 0, 0, hiddenAtX_, hiddenAtY_);
  SetPointerShape(shape_);
}

void X11EditorWindow::TakeFocus(Time time) noexcept {
  if (destroyed_) return;
  if (!focusTaken_) XGetInputFocus(display_, &focusBefore_, &revertBefore_);
  XSetInputFocus(display_, window_, RevertToParent, time);
  focusTaken_ = true;
}

void X11EditorWindow::ReturnFocus() noexcept {
  if (!focusTaken_) return;
  focusTaken_ = false;
  if (destroyed_) return;
  Window focus = 0;
  int revert = 0;
  XGetInputFocus(display_, &focus, &revert);
  // Someone else took it meanwhile: it stays there.
  if (focus != window_) return;
  if (focusBefore_ == None) {
    XSetInputFocus(display_, PointerRoot, RevertToPointerRoot, CurrentTime);
  } else {
    XSetInputFocus(display_, focusBefore_, revertBefore_, CurrentTime);
  }
}

Window X11EditorWindow::TopLevel() noexcept {
  if (topLevel_) return topLevel_;
  const Atom wmState = XInternAtom(display_, "WM_STATE", True);
  Window managed = 0;
  Window below = parent_;
  for (Window current = parent_;;) {
    Window root = 0;
    Window up = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display_, current, &root, &up, &children, &count)) break;
    if (children) XFree(children);
    if (wmState != None) {
      Atom type = None;
      int format = 0;
      unsigned long items = 0;
      unsigned long remaining = 0;
      unsigned char* data = nullptr;
      if (XGetWindowProperty(display_, current, wmState, 0, 0, False, AnyPropertyType, &type, &format, &items,
                             &remaining, &data) == Success &&
          type != None) {
        managed = current;
      }
      if (data) XFree(data);
    }
    if (up == root || up == 0) {
      below = current;
      break;
    }
    current = up;
  }
  topLevel_ = managed ? managed : below;
  return topLevel_;
}

void X11EditorWindow::ForwardKey(const XKeyEvent& key) noexcept {
  const Window target = destroyed_ ? 0 : TopLevel();
  if (!target) return;
  XEvent forwarded = {};
  forwarded.xkey = key;
  forwarded.xkey.window = target;
  forwarded.xkey.subwindow = None;
  XSendEvent(display_, target, False, key.type == KeyPress ? KeyPressMask : KeyReleaseMask, &forwarded);
}

}  // namespace torvane
