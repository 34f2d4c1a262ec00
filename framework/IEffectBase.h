#pragma once

#include <cstdint>
#include <memory>
#include <utility>

#include "core/GrowableArray.h"
#include "core/OwnedList.h"
#include "core/RecursiveLock.h"
#include "framework/ChannelIO.h"
#include "framework/EditorSizeRecords.h"
#include "framework/IParameter.h"
#include "framework/MidiMessage.h"
#include "framework/Preset.h"
#include "framework/StateChunk.h"
#include "framework/TimeInfo.h"

namespace torvane {

class IEditor;
class IResizeState;

constexpr size_t kPluginNameBytes = 128;

// The host-neutral heart of the plug-in: parameters, presets, channel
// configuration and buffers, sample rate and block size, the attached editor
// and the plug-in lock. It turns a host's buffers into one call of the effect's
// ProcessBlock hook. A host adapter derives from it and supplies the host
// operations; the effect derives from the adapter and overrides the hooks.
// Every entry that changes state takes the recursive plug-in lock.
class IEffectBase {
 public:
  // The largest block a host may announce; anything above is treated as garbage.
  static constexpr int kMaxBlockSize = 1 << 20;

  IEffectBase(int parameterCount, const char* channelIO, int presetCount, const char* effectName,
              const char* productName, const char* makerName, int32_t uniqueId, uint32_t version) noexcept;
  virtual ~IEffectBase();
  IEffectBase(const IEffectBase&) = delete;
  IEffectBase& operator=(const IEffectBase&) = delete;

  // Effect hooks.
  virtual void OnReset();
  virtual void OnParameterChange(int index);
  // Inputs are the host's or the scratch buffers and must not be written.
  virtual void ProcessBlock(const double* const* inputs, double* const* outputs, int frames);
  virtual void OnEditorOpen() {}
  virtual void OnEditorClose() {}
  virtual void OnProcessingSwitch(bool on);
  virtual void HandleMidiMessage(const MidiMessage& message);
  virtual void HandleSysEx(const SysExMessage& /*message*/) {}
  virtual bool NameMidiNote(int note, char* out);
  virtual bool WriteState(StateChunk& chunk);
  // Restores a state written by WriteState; a state that does not read
  // completely changes nothing and gives -1.
  virtual int ReadState(const StateChunk& chunk, int start);
  // The position after the state that starts at start, or -1 when it does not
  // read completely; nothing changes.
  virtual int SkipState(const StateChunk& chunk, int start) const;
  virtual void OnEditorResize(int /*width*/, int /*height*/) {}
  virtual void OnEditorLayoutChange(int /*viewIndex*/, double /*baseWidth*/, double /*baseHeight*/) {}
  virtual void OnHostKnown() {}
  // A right-button press on a parameter control in a host that offers its own menu.
  virtual void OnParameterContextMenu(int /*index*/, int /*x*/, int /*y*/) {}
  // Sets the value and runs OnParameterChange under the plug-in lock, then tells
  // the host after releasing it: a host may take a lock of its own in the
  // automation callback while its audio thread waits for ours.
  virtual void SetParameterFromEditor(int index, double position);

  // Host operations, supplied by the host adapter.
  virtual void BeginParameterEdit(int index) = 0;
  virtual void NotifyHostOfParameter(int index, double position) = 0;
  virtual void EndParameterEdit(int index) = 0;
  virtual void NotifyHostOfDisplayChange() = 0;
  virtual bool HostRendersOffline() { return false; }
  virtual int64_t HostSamplePosition() = 0;
  virtual double HostTempo() = 0;
  virtual void HostTimeSignature(int& numerator, int& denominator) = 0;
  virtual void HostTimeInfo(TimeInfo& info) = 0;
  virtual int IdentifyHost() { return host_; }
  virtual void ResizeEditor(int width, int height) = 0;
  // Asks the host to give the window it embeds the editor in room for an
  // editor of this size; false when the host does not do so.
  virtual bool RequestHostWindowSize(int /*width*/, int /*height*/) { return false; }
  virtual void InitForHost() {}
  // Takes ownership; a second editor replaces (and destroys) the first.
  virtual void AttachEditor(std::unique_ptr<IEditor> editor);
  virtual void SetLatency(int samples);
  virtual bool ForwardMidiMessage(const MidiMessage& message) = 0;
  // Torvane sends no system-exclusive message; the adapter can.
  virtual bool ForwardSysEx(const SysExMessage& /*message*/) { return false; }
  virtual void RefreshEditorControls();
  virtual void OnPresetsChanged() {}
  virtual void SetBlockSize(int frames);

  bool LegalIO(int inputCount) const noexcept;
  // Stores a positive, finite rate and calls OnReset; any other value is ignored.
  void SetSampleRate(double rate);

  // The processing entry. Single precision converts through the channels'
  // scratch buffers (in chunks of at most the block size), either replacing or
  // adding to the host's output; double precision hands the host's own buffers
  // to ProcessBlock. Null buffer arrays or channel buffers read as silence and
  // are not written. Both run with flush-to-zero on and under the plug-in lock.
  void ProcessFloat(const float* const* inputs, float* const* outputs, int frames, bool accumulate);
  void ProcessDouble(const double* const* inputs, double* const* outputs, int frames);

  int NumParameters() const noexcept { return parameters_.Count(); }
  IParameter* GetParameter(int index) const noexcept { return parameters_.Get(index); }

  // State and presets.
  // The chunk a host keeps: the header, then the state (a program) or every
  // preset (a bank, after the current one took the state).
  bool WriteChunk(StateChunk& chunk, bool isBank);
  // Restores a chunk written by WriteChunk, or a state without the header;
  // false when it does not read completely.
  bool ReadChunk(const StateChunk& chunk, bool isBank);
  bool SerializeParams(StateChunk& chunk);
  int UnserializeParams(const StateChunk& chunk, int start);
  bool SerializePresets(StateChunk& chunk);
  int UnserializePresets(const StateChunk& chunk, int start);
  void ModifyCurrentPreset(const char* newName = nullptr);
  bool LoadPreset(int index);
  const char* PresetName(int index) const noexcept;
  void FillDefaultPresets(const char* name, int count);
  int NumPresets() const noexcept { return presets_.Count(); }
  int CurrentPreset() const noexcept { return currentPreset_; }

  RecursiveLock& Lock() noexcept { return lock_; }
  double SampleRate() const noexcept { return sampleRate_; }
  int BlockSize() const noexcept { return blockSize_; }
  int Latency() const noexcept { return latency_; }
  int TailSize() const noexcept { return tailSize_; }
  IEditor* Editor() const noexcept { return editor_.get(); }
  IResizeState* ResizeState() const noexcept { return resizeState_; }
  // The editor size kept in the state; written in front of the parameter
  // values once StoreEditorSizeInState has been called.
  EditorSizeRecords& EditorSize() noexcept { return editorSize_; }
  const char* EffectName() const noexcept { return effectName_; }
  const char* ProductName() const noexcept { return productName_; }
  const char* MakerName() const noexcept { return makerName_; }
  int32_t UniqueId() const noexcept { return uniqueId_; }
  uint32_t Version() const noexcept { return version_; }
  int Host() const noexcept { return host_; }
  int HostVersion() const noexcept { return hostVersion_; }
  bool DoesStateChunks() const noexcept { return doesStateChunks_; }
  bool IsInstrument() const noexcept { return isInstrument_; }
  bool DoesMidi() const noexcept { return doesMidi_; }

  int NumInputChannels() const noexcept { return inputs_.Count(); }
  int NumOutputChannels() const noexcept { return outputs_.Count(); }
  InputChannel* GetInputChannel(int i) const noexcept { return inputs_.Get(i); }
  OutputChannel* GetOutputChannel(int i) const noexcept { return outputs_.Get(i); }
  // A channel that is not connected reads (or is written) as its own zeroed scratch buffer.
  void SetInputConnected(int channel, bool connected) noexcept;
  void SetOutputConnected(int channel, bool connected) noexcept;
  // The editor's resize controller, set before the editor is attached. Storing
  // it does not transfer ownership: once attached, the editor owns it. It
  // serves the next editor attached only; an editor attached later without a
  // controller of its own has none.
  void SetResizeState(IResizeState* resizeState) noexcept {
    resizeState_ = resizeState;
    resizeStateForNextEditor_ = true;
  }

 protected:
  // From now on every state carries the editor size (the layout of an effect
  // whose editor can be resized).
  void StoreEditorSizeInState() noexcept { storesEditorSize_ = true; }
  void SetHost(int host, int hostVersion) noexcept {
    host_ = host;
    hostVersion_ = hostVersion;
  }

 private:
  void ParseChannelIO(const char* channelIO);
  void BindInputBuffers(const float* const* inputs, int offset, int frames) noexcept;
  void BindOutputBuffers(float* const* outputs, int offset) noexcept;
  void RunBlock(int frames, bool accumulate) noexcept;
  void ProcessDoubleChunk(const double* const* inputs, double* const* outputs, int offset, int frames) noexcept;
  // Without scratch buffers (no block size yet) a call can only leave silence.
  template <typename Sample>
  void SilenceOutputs(Sample* const* outputs, int frames) noexcept;
  // A parameter state read from a chunk, applied only once it read completely.
  struct ParsedParams {
    bool hasSize = false;
    double sizeValues[EditorSizeRecords::kCount] = {};
    int valueCount = 0;
    double* values = nullptr;  // room for NumParameters() values
  };
  // Reads a parameter state into parsed (when given) without changing
  // anything; the position after it, or -1.
  int ParseParams(const StateChunk& chunk, int start, ParsedParams* parsed) const noexcept;
  // Reads a preset's name and initialised flag; the position after them, or -1.
  int ReadPresetHeader(const StateChunk& chunk, int position, char* name, bool& initialised) const noexcept;
  void CallParameterChangeForAll();
  int CountPresetsNamedLike(const char* text) const noexcept;

  GrowableArray<ChannelIO> channelIO_;
  RecursiveLock lock_;
  char effectName_[kPluginNameBytes] = {};
  char productName_[kPluginNameBytes] = {};
  char makerName_[kPluginNameBytes] = {};
  int32_t uniqueId_;
  uint32_t version_;
  int host_ = -1;
  int hostVersion_ = 0;
  bool doesStateChunks_ = false;
  bool isInstrument_ = false;
  bool doesMidi_ = false;
  int currentPreset_ = 0;
  double sampleRate_ = 44100.0;
  int blockSize_ = 0;
  int latency_ = 0;
  int tailSize_ = 0;
  IResizeState* resizeState_ = nullptr;
  bool resizeStateForNextEditor_ = false;
  EditorSizeRecords editorSize_;
  bool storesEditorSize_ = false;
  OwnedList<IParameter> parameters_;
  OwnedList<Preset> presets_;
  GrowableArray<const double*> inputPointers_;
  GrowableArray<double*> outputPointers_;
  OwnedList<InputChannel> inputs_;
  OwnedList<OutputChannel> outputs_;
  ParsedParams parsedState_;
  GrowableArray<double> parsedValues_;
  // Declared last so that it goes first: controls may still reach the
  // parameters while the editor is destroyed.
  std::unique_ptr<IEditor> editor_;
};

}  // namespace torvane
