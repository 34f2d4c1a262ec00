#pragma once

#include <lv2/ui/ui.h>

#include <memory>

#include "core/GrowableArray.h"
#include "framework/IEffectBase.h"
#include "lv2/Lv2HostOperations.h"
#include "lv2/PortLayout.h"
#include "lv2/PortScale.h"

namespace torvane {

// The LV2 editor adapter: an effect instance of its own carries the editor and
// its parameter records, and follows the plug-in through the host's ports
// only, so that it works wherever the host runs editors. Gestures write the
// parameter ports (between touch notices where the host offers them), port
// events move the controls and the meters, and the editor's size requests go
// to the host through ui:resize. Created by the host through the UI
// descriptor and destroyed by its cleanup call, all on the host's UI thread.
class IEditorLV2 final : public Lv2HostOperations {
 public:
  // Null when the effect has no editor window or it cannot be opened.
  static std::unique_ptr<IEditorLV2> Create(LV2UI_Write_Function write, LV2UI_Controller controller,
                                            LV2UI_Widget* widget, const LV2_Feature* const* features) noexcept;
  ~IEditorLV2() override;
  IEditorLV2(const IEditorLV2&) = delete;
  IEditorLV2& operator=(const IEditorLV2&) = delete;

  void PortEvent(uint32_t port, uint32_t size, uint32_t format, const void* buffer) noexcept;
  // The host's idle call: the editor handles its window's events and repaints.
  void Idle() noexcept;

  void BeginParameterEdit(int index) override;
  void NotifyHostOfParameter(int index, double position) override;
  void EndParameterEdit(int index) override;
  void ResizeEditor(int width, int height) override;
  bool RequestHostWindowSize(int width, int height) override;

 private:
  IEditorLV2(std::unique_ptr<IEffectBase> effect, LV2UI_Write_Function write, LV2UI_Controller controller,
             const LV2UI_Resize* resize, const LV2UI_Touch* touch) noexcept;
  bool OpenWindow(void* parent) noexcept;
  void CloseWindow() noexcept;

  std::unique_ptr<IEffectBase> effect_;
  PortLayout layout_;
  LV2UI_Write_Function write_;
  LV2UI_Controller controller_;
  const LV2UI_Resize* resize_;
  const LV2UI_Touch* touch_;
  // How each parameter's port carries its value.
  GrowableArray<PortScale> scales_;
  GrowableArray<double> meterPositions_;
  // The editor size records as the host's ports hold them.
  float portEditorSize_[EditorSizeRecords::kCount];
  // The host handed over a size, which the next idle call applies whole.
  bool editorSizePending_ = false;
  bool open_ = false;
};

}  // namespace torvane
