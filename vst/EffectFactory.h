#pragma once

#include "vst/VstInterface.h"

namespace torvane {

class IEffectVST;

// Creates the plug-in's effect for a host. Declared here and defined beside the
// effect, so that the adapter's entry points never depend on the effect's type.
// Null when the effect cannot be created.
IEffectVST* CreateEffect(audioMasterCallback hostCallback) noexcept;

}  // namespace torvane
