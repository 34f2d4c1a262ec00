#pragma once

#include <memory>

#include "editor/IGraphics.h"

namespace torvane {

class IEffectBase;

// Creates the editor graphics of this platform for an effect, so that the
// effect never sees a window type. Defined by the platform layer.
std::unique_ptr<IGraphics> CreateGraphics(IEffectBase& effect);

}  // namespace torvane
