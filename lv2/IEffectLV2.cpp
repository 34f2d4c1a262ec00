#include "lv2/IEffectLV2.h"

#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/options/options.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <new>

#include "framework/EffectFactory.h"
#include "framework/IEditor.h"
#include "framework/IParameter.h"
#include "core/RecursiveLock.h"
#include "lv2/FindFeature.h"

namespace torvane {

namespace {
// The most frames a run call brings when the host does not say.
constexpr int kDefaultBlockSize = 4096;

// The host's largest block from its options, or the default.
int HostBlockSize(const LV2_Feature* const* features, LV2_URID_Map* map) noexcept {
  const auto* options = static_cast<const LV2_Options_Option*>(FindFeature(features, LV2_OPTIONS__options));
  if (!options || !map) return kDefaultBlockSize;
  const LV2_URID maxBlock = map->map(map->handle, LV2_BUF_SIZE__maxBlockLength);
  const LV2_URID atomInt = map->map(map->handle, LV2_ATOM__Int);
  for (const LV2_Options_Option* o = options; o->key != 0; ++o) {
    if (o->key != maxBlock || o->type != atomInt || o->size != sizeof(int32_t) || !o->value) continue;
    const int32_t frames = *static_cast<const int32_t*>(o->value);
    if (frames > 0 && frames <= IEffectBase::kMaxBlockSize) return frames;
  }
  return kDefaultBlockSize;
}
}  // namespace

IEffectLV2::IEffectLV2(std::unique_ptr<IEffectBase> effect, LV2_URID_Map* map) noexcept
    : effect_(std::move(effect)), layout_(*effect_) {
  if (map) {
    chunkType_ = map->map(map->handle, LV2_ATOM__Chunk);
    programKey_ = map->map(map->handle, kLv2ProgramStateUri);
  }
}

IEffectLV2::~IEffectLV2() {
  // The effect goes first, while everything it may still call is whole.
  effect_.reset();
}

std::unique_ptr<IEffectLV2> IEffectLV2::Create(double sampleRate, const LV2_Feature* const* features) noexcept {
  auto* map = static_cast<LV2_URID_Map*>(const_cast<void*>(FindFeature(features, LV2_URID__map)));
  std::unique_ptr<IEffectBase> effect = CreateEffect();
  if (!effect) return nullptr;
  effect->FillDefaultPresets("Empty", effect->NumPresets());
  std::unique_ptr<IEffectLV2> adapter(new (std::nothrow) IEffectLV2(std::move(effect), map));
  if (!adapter || !adapter->AllocatePorts()) return nullptr;

  IEffectBase& plugin = adapter->Effect();
  for (int i = 0; i < plugin.NumInputChannels(); ++i) plugin.SetInputConnected(i, true);
  for (int i = 0; i < plugin.NumOutputChannels(); ++i) plugin.SetOutputConnected(i, true);
  plugin.SetBlockSize(HostBlockSize(features, map));
  if (plugin.BlockSize() <= 0) return nullptr;
  plugin.ConnectHost(adapter.get());
  plugin.SetSampleRate(sampleRate);
  // As a host's open request does: every parameter designs its part once.
  ScopedLock lock(plugin.Lock());
  for (int i = 0; i < plugin.NumParameters(); ++i) {
    plugin.OnParameterChange(i);
    adapter->appliedValues_[i] = static_cast<float>(adapter->scales_[i].PortValue(plugin.GetParameter(i)->Value()));
  }
  for (int r = 0; r < EditorSizeRecords::kCount; ++r) {
    adapter->appliedEditorSize_[r] = static_cast<float>(plugin.EditorSize()[r].Value());
  }
  return adapter;
}

bool IEffectLV2::AllocatePorts() noexcept {
  for (int i = 0; i < layout_.Parameters(); ++i) {
    if (!scales_.Add(PortScale(*effect_->GetParameter(i)))) return false;
  }
  return audioInputs_.ResizeZeroFilled(layout_.Inputs()) && audioOutputs_.ResizeZeroFilled(layout_.Outputs()) &&
         parameterPorts_.ResizeZeroFilled(layout_.Parameters()) &&
         appliedValues_.ResizeZeroFilled(layout_.Parameters()) && meterPorts_.ResizeZeroFilled(layout_.Meters()) &&
         meterPositions_.ResizeZeroFilled(layout_.Meters());
}

void IEffectLV2::ConnectPort(uint32_t port, void* data) noexcept {
  const int parameter = layout_.ParameterOf(port);
  const int meter = layout_.MeterOf(port);
  if (port < layout_.AudioOutput(0)) {
    audioInputs_[static_cast<int>(port)] = static_cast<const float*>(data);
  } else if (port < layout_.Parameter(0)) {
    audioOutputs_[static_cast<int>(port - layout_.AudioOutput(0))] = static_cast<float*>(data);
  } else if (parameter >= 0) {
    parameterPorts_[parameter] = static_cast<const float*>(data);
  } else if (meter >= 0) {
    meterPorts_[meter] = static_cast<float*>(data);
  } else if (port == layout_.Latency()) {
    latencyPort_ = static_cast<float*>(data);
  } else if (layout_.EditorSizeOf(port) >= 0) {
    editorSizePorts_[layout_.EditorSizeOf(port)] = static_cast<const float*>(data);
  }
}

void IEffectLV2::Activate() noexcept { effect_->OnProcessingSwitch(true); }

void IEffectLV2::Deactivate() noexcept {
  effect_->OnProcessingSwitch(false);
  effect_->OnReset();
}

void IEffectLV2::ApplyParameterPorts() noexcept {
  ScopedLock lock(effect_->Lock());
  for (int i = 0; i < layout_.Parameters(); ++i) {
    const float* port = parameterPorts_[i];
    // A non-finite value from a host never reaches the signal path.
    if (!port || !std::isfinite(*port) || *port == appliedValues_[i]) continue;
    appliedValues_[i] = *port;
    effect_->GetParameter(i)->SetClamped(scales_[i].ParameterValue(*port));
    effect_->OnParameterChange(i);
  }
  // The size the editor last reported goes into the state as the VST editor's does.
  for (int r = 0; r < EditorSizeRecords::kCount; ++r) {
    const float* port = editorSizePorts_[r];
    if (!port || !std::isfinite(*port) || *port == appliedEditorSize_[r]) continue;
    appliedEditorSize_[r] = *port;
    effect_->EditorSize()[r].SetClamped(*port);
  }
}

void IEffectLV2::Run(uint32_t frames) noexcept {
  ApplyParameterPorts();
  // A port buffer of 2^31 floats would take 8 GB; no host hands out more.
  const int n = static_cast<int>(std::min<uint32_t>(frames, INT_MAX));
  effect_->ProcessFloat(audioInputs_.Data(), audioOutputs_.Data(), n, false);
  WriteMeterPorts();
  if (latencyPort_) *latencyPort_ = static_cast<float>(effect_->Latency());
}

void IEffectLV2::WriteMeterPorts() noexcept {
  ScopedLock lock(effect_->Lock());
  const int meters = std::min(layout_.Meters(), effect_->ReadMeters(meterPositions_.Data(), layout_.Meters()));
  for (int k = 0; k < meters; ++k) {
    if (meterPorts_[k]) *meterPorts_[k] = MeterPortValue(meterPositions_[k]);
  }
}

LV2_State_Status IEffectLV2::Save(LV2_State_Store_Function store, LV2_State_Handle handle) noexcept {
  if (!programKey_) return LV2_STATE_ERR_NO_FEATURE;
  ScopedLock lock(effect_->Lock());
  // The program chunk, as the VST library hands it to its hosts.
  if (!effect_->WriteChunk(stateChunk_, false) || stateChunk_.Size() == 0) return LV2_STATE_ERR_UNKNOWN;
  return store(handle, programKey_, stateChunk_.Data(), static_cast<size_t>(stateChunk_.Size()), chunkType_,
               LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE);
}

LV2_State_Status IEffectLV2::Restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle) noexcept {
  if (!programKey_) return LV2_STATE_ERR_NO_FEATURE;
  size_t size = 0;
  uint32_t type = 0, flags = 0;
  const void* data = retrieve(handle, programKey_, &size, &type, &flags);
  if (!data) return LV2_STATE_ERR_NO_PROPERTY;
  if (type != chunkType_) return LV2_STATE_ERR_BAD_TYPE;
  ScopedLock lock(effect_->Lock());
  if (size > INT_MAX || !stateChunk_.Assign(data, static_cast<int>(size))) return LV2_STATE_ERR_UNKNOWN;
  // A state that does not read completely changes nothing.
  return effect_->ReadChunk(stateChunk_, false) ? LV2_STATE_SUCCESS : LV2_STATE_ERR_UNKNOWN;
}

}  // namespace torvane
