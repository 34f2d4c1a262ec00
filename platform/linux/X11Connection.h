#pragma once

#include <X11/Xlib.h>

namespace torvane {

// Opens a connection to the display named by DISPLAY, or null. A server can
// drop a new connection at once while it still takes down one the process
// just closed (Xvfb does so now and then when an editor is reopened quickly),
// so a dropped attempt is repeated a few times. Any thread.
Display* OpenX11Connection() noexcept;

}  // namespace torvane
