// The editor binary's exported entry: a host calls lv2ui_descriptor and
// drives each editor through the descriptor's functions and the idle
// interface, on its user-interface thread.
#include <lv2/ui/ui.h>

#include <cstring>

#include "lv2/IEditorLV2.h"
#include "lv2/PortLayout.h"

namespace torvane {
namespace {

IEditorLV2* FromHandle(LV2UI_Handle ui) noexcept { return static_cast<IEditorLV2*>(ui); }

LV2UI_Handle Instantiate(const LV2UI_Descriptor*, const char* pluginUri, const char*, LV2UI_Write_Function write,
                         LV2UI_Controller controller, LV2UI_Widget* widget, const LV2_Feature* const* features) {
  if (!pluginUri || std::strcmp(pluginUri, kLv2PluginUri) != 0) return nullptr;
  return IEditorLV2::Create(write, controller, widget, features).release();
}

void Cleanup(LV2UI_Handle ui) { delete FromHandle(ui); }

void PortEvent(LV2UI_Handle ui, uint32_t port, uint32_t size, uint32_t format, const void* buffer) {
  FromHandle(ui)->PortEvent(port, size, format, buffer);
}

int Idle(LV2UI_Handle ui) {
  FromHandle(ui)->Idle();
  return 0;
}

const void* ExtensionData(const char* uri) {
  static const LV2UI_Idle_Interface idle = {Idle};
  return std::strcmp(uri, LV2_UI__idleInterface) == 0 ? &idle : nullptr;
}

const LV2UI_Descriptor kDescriptor = {kLv2UiUri, Instantiate, Cleanup, PortEvent, ExtensionData};

}  // namespace
}  // namespace torvane

extern "C" __attribute__((visibility("default"))) const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index) {
  return index == 0 ? &torvane::kDescriptor : nullptr;
}
