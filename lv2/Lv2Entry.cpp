// The plug-in binary's exported entry: a host calls lv2_descriptor and drives
// each instance through the descriptor's functions.
#include <lv2/core/lv2.h>
#include <lv2/state/state.h>

#include <cstring>

#include "lv2/IEffectLV2.h"
#include "lv2/PortLayout.h"

namespace torvane {
namespace {

IEffectLV2* FromHandle(LV2_Handle instance) noexcept { return static_cast<IEffectLV2*>(instance); }

LV2_Handle Instantiate(const LV2_Descriptor*, double sampleRate, const char*, const LV2_Feature* const* features) {
  return IEffectLV2::Create(sampleRate, features).release();
}

void ConnectPort(LV2_Handle instance, uint32_t port, void* data) { FromHandle(instance)->ConnectPort(port, data); }

void Activate(LV2_Handle instance) { FromHandle(instance)->Activate(); }

void Run(LV2_Handle instance, uint32_t frames) { FromHandle(instance)->Run(frames); }

void Deactivate(LV2_Handle instance) { FromHandle(instance)->Deactivate(); }

void Cleanup(LV2_Handle instance) { delete FromHandle(instance); }

LV2_State_Status Save(LV2_Handle instance, LV2_State_Store_Function store, LV2_State_Handle handle, uint32_t,
                      const LV2_Feature* const*) {
  return FromHandle(instance)->Save(store, handle);
}

LV2_State_Status Restore(LV2_Handle instance, LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle,
                         uint32_t, const LV2_Feature* const*) {
  return FromHandle(instance)->Restore(retrieve, handle);
}

const void* ExtensionData(const char* uri) {
  static const LV2_State_Interface state = {Save, Restore};
  return std::strcmp(uri, LV2_STATE__interface) == 0 ? &state : nullptr;
}

const LV2_Descriptor kDescriptor = {kLv2PluginUri, Instantiate, ConnectPort, Activate,
                                    Run,           Deactivate,  Cleanup,     ExtensionData};

}  // namespace
}  // namespace torvane

extern "C" __attribute__((visibility("default"))) const LV2_Descriptor* lv2_descriptor(uint32_t index) {
  return index == 0 ? &torvane::kDescriptor : nullptr;
}
