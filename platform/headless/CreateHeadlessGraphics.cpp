// Windows has no window layer of its own yet: it gets the headless editor.
#include "editor/GraphicsFactory.h"
#include "platform/headless/IGraphicsHeadless.h"

namespace torvane {

std::unique_ptr<IGraphics> CreateGraphics(IEffectBase& effect) { return std::make_unique<IGraphicsHeadless>(effect); }

}  // namespace torvane
