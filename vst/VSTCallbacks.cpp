// The audio and parameter callbacks of the effect record, called directly by
// the host, usually from its audio thread.
#include <algorithm>
#include <cmath>

#include "framework/IEditor.h"
#include "vst/IEffectVST.h"

namespace torvane {

void IEffectVST::VSTProcess(AEffect* effect, float** inputs, float** outputs, VstInt32 frames) {
  if (IEffectVST* plugin = FromRecord(effect)) plugin->Effect().ProcessFloat(inputs, outputs, frames, true);
}

void IEffectVST::VSTProcessReplacing(AEffect* effect, float** inputs, float** outputs, VstInt32 frames) {
  if (IEffectVST* plugin = FromRecord(effect)) plugin->Effect().ProcessFloat(inputs, outputs, frames, false);
}

void IEffectVST::VSTProcessDoubleReplacing(AEffect* effect, double** inputs, double** outputs, VstInt32 frames) {
  if (IEffectVST* plugin = FromRecord(effect)) plugin->Effect().ProcessDouble(inputs, outputs, frames);
}

void IEffectVST::VSTSetParameter(AEffect* effect, VstInt32 index, float value) {
  IEffectVST* adapter = FromRecord(effect);
  // A non-finite position from a host never reaches controls or the signal path.
  if (!adapter || !std::isfinite(value)) return;
  IEffectBase& plugin = adapter->Effect();
  ScopedLock lock(plugin.Lock());
  IParameter* parameter = plugin.GetParameter(index);
  if (!parameter) return;
  // Positions outside 0..1 from a careless host count as the nearest end.
  const double position = std::clamp(static_cast<double>(value), 0.0, 1.0);
  if (plugin.Editor()) plugin.Editor()->PushParameterToControls(index, position, true);
  parameter->SetFromPosition(position);
  plugin.OnParameterChange(index);
}

float IEffectVST::VSTGetParameter(AEffect* effect, VstInt32 index) {
  IEffectVST* adapter = FromRecord(effect);
  if (!adapter) return 0.0f;
  IEffectBase& plugin = adapter->Effect();
  ScopedLock lock(plugin.Lock());
  const IParameter* parameter = plugin.GetParameter(index);
  return parameter ? static_cast<float>(parameter->GetPosition()) : 0.0f;
}

}  // namespace torvane
