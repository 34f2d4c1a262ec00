#pragma once

#include "framework/IEffectBase.h"
#include "vst/VstInterface.h"

namespace torvane {

// The VST 2.4 host adapter: fills the effect record the host holds, answers
// the host's dispatcher requests and audio and parameter callbacks, and
// implements the base's host operations through the host callback. Owned by
// the host through the effect record (deleted by the close request); its
// entry points run on whichever host thread calls them, under the plug-in lock.
class IEffectVST : public IEffectBase {
 public:
  IEffectVST(audioMasterCallback hostCallback, int parameterCount, const char* channelIO, int presetCount,
             const char* effectName, const char* productName, const char* makerName, int32_t uniqueId,
             uint32_t version) noexcept;

  AEffect* EffectRecord() noexcept { return &effect_; }
  const ERect& EditorRect() const noexcept { return editorRect_; }

  void BeginParameterEdit(int index) override;
  void NotifyHostOfParameter(int index, double position) override;
  void EndParameterEdit(int index) override;
  void NotifyHostOfDisplayChange() override;
  bool HostRendersOffline() override;
  int64_t HostSamplePosition() override;
  double HostTempo() override;
  void HostTimeSignature(int& numerator, int& denominator) override;
  void HostTimeInfo(TimeInfo& info) override;
  int IdentifyHost() override;
  void ResizeEditor(int width, int height) override;
  bool RequestHostWindowSize(int width, int height) override;
  void InitForHost() override;
  void AttachEditor(std::unique_ptr<IEditor> editor) override;
  void SetLatency(int samples) override;
  bool ForwardMidiMessage(const MidiMessage& message) override;
  bool ForwardSysEx(const SysExMessage& message) override;

  // Answers the meter request of vst/MeterRequest.h: writes up to capacity
  // meter positions and returns how many meters the effect has. Called under
  // the plug-in lock; an effect without meters keeps this default.
  virtual int ReadMeters(double* /*positions*/, int /*capacity*/) noexcept { return 0; }

  // The functions stored in the effect record.
  static VstIntPtr VSTDispatcher(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                 float opt);
  static void VSTProcess(AEffect* effect, float** inputs, float** outputs, VstInt32 frames);
  static void VSTProcessReplacing(AEffect* effect, float** inputs, float** outputs, VstInt32 frames);
  static void VSTProcessDoubleReplacing(AEffect* effect, double** inputs, double** outputs, VstInt32 frames);
  static void VSTSetParameter(AEffect* effect, VstInt32 index, float value);
  static float VSTGetParameter(AEffect* effect, VstInt32 index);

 private:
  static IEffectVST* FromRecord(AEffect* effect) noexcept;
  VstIntPtr HostCall(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                     float opt = 0.0f);
  // The host's time record with at least the requested validity bits asked for, or null.
  const VstTimeInfo* HostTime(VstInt32 requestFlags);
  void SetEditorRect(int width, int height) noexcept;

  // Dispatcher requests that need more than a line.
  VstIntPtr Dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);
  // The requests that open, close and idle the editor window.
  VstIntPtr DispatchWindowRequest(VstInt32 opcode, void* ptr);
  VstIntPtr GetChunk(void** data, bool isBank);
  VstIntPtr SetChunk(const void* data, VstIntPtr size, bool isBank);
  VstIntPtr StringToParameter(int index, const char* text);
  VstIntPtr ProcessEvents(const VstEvents* events);
  VstIntPtr GetPinProperties(int index, VstPinProperties* properties, bool isInput);
  VstIntPtr SetSpeakerArrangement(const VstSpeakerArrangement* inputs, const VstSpeakerArrangement* outputs);
  VstIntPtr VendorSpecific(int index, VstIntPtr value, void* ptr, float opt);
  VstIntPtr CanDo(const char* text) const;

  ERect editorRect_ = {};
  audioMasterCallback hostCallback_;
  VstSpeakerArrangement inputArrangement_ = {};
  VstSpeakerArrangement outputArrangement_ = {};
  bool hostInitDone_ = false;
  StateChunk programChunk_;
  StateChunk bankChunk_;
  AEffect effect_ = {};
};

}  // namespace torvane
