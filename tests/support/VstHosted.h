#pragma once

#include <memory>

#include "vst/IEffectVST.h"

namespace torvane {

// An effect inside the VST adapter, as the library entry creates it, for
// programs that drive the effect in-process through its record and its own
// operations at once. The adapter owns the effect; both live as long as this.
template <class Effect>
class VstHosted {
 public:
  explicit VstHosted(audioMasterCallback host = nullptr)
      : adapter_(host, std::make_unique<Effect>()), effect(static_cast<Effect&>(adapter_.Effect())) {}

  AEffect* EffectRecord() noexcept { return adapter_.EffectRecord(); }
  IEffectVST& Adapter() noexcept { return adapter_; }

 private:
  IEffectVST adapter_;

 public:
  Effect& effect;
};

// The record of an effect created by VstHosted.
inline AEffect* VstRecord(IEffectBase& effect) noexcept {
  return static_cast<IEffectVST*>(effect.ConnectedHost())->EffectRecord();
}

}  // namespace torvane
