// Linux editors get an X11 window wherever a display can be opened. Without
// one (a server, a plug-in scan in a terminal) they get the headless editor,
// which the host is then not offered.
#include <cstdlib>

#include "editor/GraphicsFactory.h"
#include "platform/headless/IGraphicsHeadless.h"
#include "platform/linux/IGraphicsX11.h"
#include "platform/linux/X11Connection.h"

// After the editor's headers: Xlib defines names such as KeyPress as macros.
#include <X11/Xlib.h>

namespace torvane {

namespace {

// Asked once per process: hosts that scan hundreds of plug-ins pay for one
// connection at most.
bool DisplayAvailable() noexcept {
  static const bool available = [] {
    const char* name = std::getenv("DISPLAY");
    if (!name || !*name) return false;
    // The editor's repaint thread and the host's thread use our connections.
    XInitThreads();
    Display* display = OpenX11Connection();
    if (!display) return false;
    XCloseDisplay(display);
    return true;
  }();
  return available;
}

}  // namespace

std::unique_ptr<IGraphics> CreateGraphics(IEffectBase& effect) {
  if (DisplayAvailable()) return std::make_unique<IGraphicsX11>(effect);
  return std::make_unique<IGraphicsHeadless>(effect);
}

}  // namespace torvane
