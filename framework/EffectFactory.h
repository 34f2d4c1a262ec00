#pragma once

#include <memory>

namespace torvane {

class IEffectBase;

// Creates the plug-in's effect for a format's adapter, which owns it and
// connects itself as its host. Declared here and defined beside the effect, so
// that no adapter depends on the effect's type. Null when the effect cannot be
// created.
std::unique_ptr<IEffectBase> CreateEffect() noexcept;

}  // namespace torvane
