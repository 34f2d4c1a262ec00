#include "platform/linux/X11KeyMap.h"

#include <X11/keysym.h>

namespace torvane {

bool EditorKeyFor(unsigned long keySym, KeyCode& key) noexcept {
  switch (keySym) {
    case XK_space: key = KeySpace; return true;
    case XK_Up:
    case XK_KP_Up: key = KeyUp; return true;
    case XK_Down:
    case XK_KP_Down: key = KeyDown; return true;
    case XK_Left:
    case XK_KP_Left: key = KeyLeft; return true;
    case XK_Right:
    case XK_KP_Right: key = KeyRight; return true;
    default: break;
  }
  if (keySym >= XK_0 && keySym <= XK_9) {
    key = static_cast<KeyCode>(KeyDigit0 + static_cast<int>(keySym - XK_0));
    return true;
  }
  if (keySym >= XK_a && keySym <= XK_z) keySym -= XK_a - XK_A;
  if (keySym >= XK_A && keySym <= XK_Z) {
    key = static_cast<KeyCode>(KeyLetterA + static_cast<int>(keySym - XK_A));
    return true;
  }
  return false;
}

}  // namespace torvane
