#pragma once

#include <lv2/core/lv2.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include <memory>

#include "core/GrowableArray.h"
#include "framework/IEffectBase.h"
#include "framework/StateChunk.h"
#include "lv2/Lv2HostOperations.h"
#include "lv2/PortLayout.h"
#include "lv2/PortScale.h"

namespace torvane {

// The LV2 plug-in adapter: owns the effect, connects the host's ports, applies
// the parameter ports at the start of each run through the effect's own
// parameter-change road, processes through the effect's single-precision
// entry, and writes the meter and latency ports. State is the program chunk
// the VST library writes. Created by the host through the descriptor and
// destroyed by its cleanup call; run on the host's audio thread, the rest on
// the threads LV2 assigns to them. The editor lives in its own instance and
// reaches this one through ports only, so no host operation reaches a host.
class IEffectLV2 final : public Lv2HostOperations {
 public:
  // Null when the effect or its port tables cannot be created.
  static std::unique_ptr<IEffectLV2> Create(double sampleRate, const LV2_Feature* const* features) noexcept;
  ~IEffectLV2() override;
  IEffectLV2(const IEffectLV2&) = delete;
  IEffectLV2& operator=(const IEffectLV2&) = delete;

  void ConnectPort(uint32_t port, void* data) noexcept;
  void Activate() noexcept;
  void Run(uint32_t frames) noexcept;
  void Deactivate() noexcept;
  LV2_State_Status Save(LV2_State_Store_Function store, LV2_State_Handle handle) noexcept;
  LV2_State_Status Restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle) noexcept;

  IEffectBase& Effect() noexcept { return *effect_; }

 private:
  IEffectLV2(std::unique_ptr<IEffectBase> effect, LV2_URID_Map* map) noexcept;
  bool AllocatePorts() noexcept;
  void ApplyParameterPorts() noexcept;
  void WriteMeterPorts() noexcept;

  std::unique_ptr<IEffectBase> effect_;
  PortLayout layout_;
  GrowableArray<const float*> audioInputs_;
  GrowableArray<float*> audioOutputs_;
  GrowableArray<const float*> parameterPorts_;
  // How each parameter's port carries its value.
  GrowableArray<PortScale> scales_;
  // The value each parameter port held when last applied: a port that keeps
  // it changes nothing, so a restored state stays until the host moves a port.
  GrowableArray<float> appliedValues_;
  GrowableArray<float*> meterPorts_;
  GrowableArray<double> meterPositions_;
  float* latencyPort_ = nullptr;
  const float* editorSizePorts_[EditorSizeRecords::kCount] = {};
  float appliedEditorSize_[EditorSizeRecords::kCount] = {};
  // Without the host's URID map there is no state.
  LV2_URID chunkType_ = 0;
  LV2_URID programKey_ = 0;
  StateChunk stateChunk_;
};

}  // namespace torvane
