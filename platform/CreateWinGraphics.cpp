// Windows editors get the window layer.
#include "editor/GraphicsFactory.h"
#include "platform/win/IGraphicsWin.h"

namespace torvane {

std::unique_ptr<IGraphics> CreateGraphics(IEffectBase& effect) { return std::make_unique<IGraphicsWin>(effect); }

}  // namespace torvane
