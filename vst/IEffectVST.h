#pragma once

#include <memory>

#include "framework/IEffectBase.h"
#include "framework/IHostOperations.h"
#include "vst/VstInterface.h"

namespace torvane {

// The VST 2.4 host adapter: owns the effect, fills the effect record the host
// holds, answers the host's dispatcher requests and audio and parameter
// callbacks, and implements the effect's host operations through the host
// callback. Owned by the host through the effect record (deleted by the close
// request); its entry points run on whichever host thread calls them, under
// the effect's plug-in lock.
class IEffectVST final : public IHostOperations {
 public:
  // Takes the effect (not null) and connects itself as its host.
  IEffectVST(audioMasterCallback hostCallback, std::unique_ptr<IEffectBase> effect) noexcept;
  ~IEffectVST() override;
  IEffectVST(const IEffectVST&) = delete;
  IEffectVST& operator=(const IEffectVST&) = delete;

  AEffect* EffectRecord() noexcept { return &effect_; }
  const ERect& EditorRect() const noexcept { return editorRect_; }
  IEffectBase& Effect() noexcept { return *plugin_; }

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
  void EditorAttached(const IEditor& editor) override;
  void LatencyChanged(int samples) override;
  bool ForwardMidiMessage(const MidiMessage& message) override;
  bool ForwardSysEx(const SysExMessage& message) override;
  // Identifies the host and fits the channels to it, once per instance.
  void InitForHost();

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
  // Declared last so that it goes first: its editor may still call the host.
  std::unique_ptr<IEffectBase> plugin_;
};

}  // namespace torvane
