#pragma once

#include <string>
#include <vector>

#include "platform/linux/X11Connection.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

namespace torvane {

// The test's side of the X server, as a host has it: a connection of its own,
// a top-level window to embed the editor in, the editor's window found by its
// class, pixels read back as the server shows them, and pointer and keys
// through XTest in the editor window's coordinates.
class TestDisplay {
 public:
  // False without an X server that has XTest: the test command provides
  // one, so the tests fail then.
  bool Open(int width, int height) {
    display = OpenX11Connection();
    int unused = 0;
    if (!display || !XTestQueryExtension(display, &unused, &unused, &unused, &unused)) return false;
    parent = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, width, height, 0, 0, 0);
    XMapWindow(display, parent);
    XSync(display, False);
    return true;
  }

  ~TestDisplay() {
    if (!display) return;
    if (parent) XDestroyWindow(display, parent);
    XCloseDisplay(display);
  }

  // The parent's children of the editor's window class.
  std::vector<Window> EditorWindows() {
    std::vector<Window> found;
    Window root = 0, up = 0, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, parent, &root, &up, &children, &count)) return found;
    for (unsigned i = 0; i < count; ++i) {
      XClassHint hint = {};
      if (XGetClassHint(display, children[i], &hint)) {
        if (std::string(hint.res_class) == "TorvaneWndClass") found.push_back(children[i]);
        XFree(hint.res_name);
        XFree(hint.res_class);
      }
    }
    if (children) XFree(children);
    return found;
  }

  Window EditorWindow() {
    const std::vector<Window> windows = EditorWindows();
    return windows.size() == 1 ? windows[0] : 0;
  }

  void Size(Window window, unsigned& width, unsigned& height) {
    Window root = 0;
    int x = 0, y = 0;
    unsigned border = 0, depth = 0;
    width = height = 0;
    XGetGeometry(display, window, &root, &x, &y, &width, &height, &border, &depth);
  }

  // The editor window's pixel as the server shows it, 0xRRGGBB (a 24-bit screen).
  uint32_t ShownPixel(int x, int y) {
    XImage* image = XGetImage(display, EditorWindow(), x, y, 1, 1, AllPlanes, ZPixmap);
    if (!image) return 0xFFFFFFFFu;
    const auto pixel = static_cast<uint32_t>(XGetPixel(image, 0, 0)) & 0xFFFFFF;
    XDestroyImage(image);
    return pixel;
  }

  void PointerTo(int x, int y) {
    int rootX = 0, rootY = 0;
    Window child = 0;
    XTranslateCoordinates(display, EditorWindow(), DefaultRootWindow(display), x, y, &rootX, &rootY, &child);
    XTestFakeMotionEvent(display, -1, rootX, rootY, CurrentTime);
    XSync(display, False);
  }
  void Button(unsigned button, bool down) {
    XTestFakeButtonEvent(display, button, down, CurrentTime);
    XSync(display, False);
  }
  void Click(int x, int y) {
    PointerTo(x, y);
    Button(1, true);
    Button(1, false);
  }
  void Type(std::initializer_list<KeySym> keys) {
    for (KeySym key : keys) {
      const auto code = XKeysymToKeycode(display, key);
      XTestFakeKeyEvent(display, code, True, CurrentTime);
      XTestFakeKeyEvent(display, code, False, CurrentTime);
    }
    XSync(display, False);
  }

  Display* display = nullptr;
  Window parent = 0;
};

}  // namespace torvane
