// The plug-in binary runs the signal path only: its effect builds no editor.
// The editor is the UI binary's, with an effect instance of its own that
// follows this one through the host's ports.
#include "editor/GraphicsFactory.h"

namespace torvane {

std::unique_ptr<IGraphics> CreateGraphics(IEffectBase&) { return nullptr; }

}  // namespace torvane
