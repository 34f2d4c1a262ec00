#include "vst/IEffectVST.h"

#include <cstring>

#include "framework/HostId.h"
#include "framework/IEditor.h"

namespace torvane {

namespace {
constexpr size_t kProductStringBytes = 256;
constexpr VstInt32 kAllTimeInfoFlags = kVstPpqPosValid | kVstTempoValid | kVstBarsValid | kVstCyclePosValid |
                                       kVstTimeSigValid;
// The largest decimal version whose packed form fits the stored version.
constexpr VstIntPtr kLargestHostVersion = 32767 * 10000 + 9999;

VstInt32 ArrangementType(int channels) {
  switch (channels) {
    case 0: return kSpeakerArrEmpty;
    case 1: return kSpeakerArrMono;
    case 2: return kSpeakerArrStereo;
    default: return kSpeakerArrUserDefined;
  }
}

// Packed 0xMMmmtt version as the host's decimal MMmmtt number.
VstInt32 DecimalVersion(uint32_t packed) {
  return static_cast<VstInt32>((packed >> 16) * 10000 + ((packed >> 8) & 0xFF) * 100 + (packed & 0xFF));
}
}  // namespace

IEffectVST::IEffectVST(audioMasterCallback hostCallback, int parameterCount, const char* channelIO,
                       int presetCount, const char* effectName, const char* productName, const char* makerName,
                       int32_t uniqueId, uint32_t version) noexcept
    : IEffectBase(parameterCount, channelIO, presetCount, effectName, productName, makerName, uniqueId, version),
      hostCallback_(hostCallback) {
  effect_.magic = kEffectMagic;
  effect_.dispatcher = VSTDispatcher;
  effect_.process = VSTProcess;
  effect_.setParameter = VSTSetParameter;
  effect_.getParameter = VSTGetParameter;
  effect_.numPrograms = NumPresets();
  effect_.numParams = NumParameters();
  effect_.numInputs = NumInputChannels();
  effect_.numOutputs = NumOutputChannels();
  effect_.flags = effFlagsCanReplacing | effFlagsCanDoubleReplacing;
  if (LegalIO(1)) effect_.flags |= effFlagsCanMono;
  effect_.ioRatio = 1.0f;
  effect_.object = this;
  effect_.uniqueID = uniqueId;
  effect_.version = DecimalVersion(version);
  effect_.processReplacing = VSTProcessReplacing;
  effect_.processDoubleReplacing = VSTProcessDoubleReplacing;

  inputArrangement_.numChannels = NumInputChannels();
  inputArrangement_.type = ArrangementType(NumInputChannels());
  outputArrangement_.numChannels = NumOutputChannels();
  outputArrangement_.type = ArrangementType(NumOutputChannels());

  for (int i = 0; i < NumInputChannels(); ++i) SetInputConnected(i, true);
  for (int i = 0; i < NumOutputChannels(); ++i) SetOutputConnected(i, true);
  SetBlockSize(1024);
}

IEffectVST* IEffectVST::FromRecord(AEffect* effect) noexcept {
  return effect ? static_cast<IEffectVST*>(effect->object) : nullptr;
}

VstIntPtr IEffectVST::HostCall(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
  return hostCallback_ ? hostCallback_(&effect_, opcode, index, value, ptr, opt) : 0;
}

void IEffectVST::BeginParameterEdit(int index) { HostCall(audioMasterBeginEdit, index); }

void IEffectVST::NotifyHostOfParameter(int index, double position) {
  HostCall(audioMasterAutomate, index, 0, nullptr, static_cast<float>(position));
}

void IEffectVST::EndParameterEdit(int index) { HostCall(audioMasterEndEdit, index); }

void IEffectVST::NotifyHostOfDisplayChange() { HostCall(audioMasterUpdateDisplay); }

bool IEffectVST::HostRendersOffline() {
  return HostCall(audioMasterGetCurrentProcessLevel) == kVstProcessLevelOffline;
}

const VstTimeInfo* IEffectVST::HostTime(VstInt32 requestFlags) {
  return reinterpret_cast<const VstTimeInfo*>(HostCall(audioMasterGetTime, 0, requestFlags));
}

int64_t IEffectVST::HostSamplePosition() {
  const VstTimeInfo* time = HostTime(0);
  return time && time->samplePos >= 0.0 ? static_cast<int64_t>(time->samplePos + 0.5) : 0;
}

double IEffectVST::HostTempo() {
  const VstTimeInfo* time = HostTime(kVstTempoValid);
  return time && (time->flags & kVstTempoValid) && time->tempo >= 0.0 ? time->tempo : 0.0;
}

void IEffectVST::HostTimeSignature(int& numerator, int& denominator) {
  numerator = denominator = 0;
  const VstTimeInfo* time = HostTime(kVstTimeSigValid);
  if (time && (time->flags & kVstTimeSigValid) && time->timeSigNumerator >= 0 && time->timeSigDenominator >= 0) {
    numerator = time->timeSigNumerator;
    denominator = time->timeSigDenominator;
  }
}

void IEffectVST::HostTimeInfo(TimeInfo& info) {
  const VstTimeInfo* time = HostTime(kAllTimeInfoFlags);
  if (!time || !(time->flags & kAllTimeInfoFlags)) return;
  info.samplePosition = time->samplePos;
  if ((time->flags & kVstPpqPosValid) && time->ppqPos >= 0.0) info.quarterNotePosition = time->ppqPos;
  if ((time->flags & kVstTempoValid) && time->tempo > 0.0) info.tempo = time->tempo;
  if ((time->flags & kVstBarsValid) && time->barStartPos >= 0.0) info.lastBarStart = time->barStartPos;
  if ((time->flags & kVstCyclePosValid) && time->cycleStartPos >= 0.0 && time->cycleEndPos >= 0.0) {
    info.cycleStart = time->cycleStartPos;
    info.cycleEnd = time->cycleEndPos;
  }
  if ((time->flags & kVstTimeSigValid) && time->timeSigNumerator > 0 && time->timeSigDenominator > 0) {
    info.numerator = time->timeSigNumerator;
    info.denominator = time->timeSigDenominator;
  }
  info.transportRunning = (time->flags & kVstTransportPlaying) != 0;
  info.loopActive = (time->flags & kVstTransportCycleActive) != 0;
}

int IEffectVST::IdentifyHost() {
  if (Host() != kHostNotAsked) return Host();
  char product[kProductStringBytes] = {};
  HostCall(audioMasterGetProductString, 0, 0, product);
  product[sizeof(product) - 1] = '\0';  // a host that fills the whole buffer
  int hostVersion = 0;
  if (product[0]) {
    const VstIntPtr v = HostCall(audioMasterGetVendorVersion);
    // An answer that is no version at all (negative, or beyond any packing)
    // leaves the version unknown.
    if (v >= 0 && v <= kLargestHostVersion) {
      hostVersion = static_cast<int>(v / 10000 * 65536 + v / 100 % 100 * 256 + v % 100);
    }
  }
  SetHost(HostIdFromName(product), hostVersion);
  return Host();
}

void IEffectVST::InitForHost() {
  if (hostInitDone_) return;
  hostInitDone_ = true;
  const int host = IdentifyHost();
  if (host == kHostForte || host == kHostAudition || host == kHostOrion || host == kHostSawStudio) {
    // These hosts offer more channels than they feed.
    for (int i = 2; i < NumInputChannels(); ++i) SetInputConnected(i, false);
    if (NumOutputChannels() >= 3) {
      for (int i = 2; i < NumOutputChannels(); ++i) SetOutputConnected(i, true);
    }
  }
  effect_.numInputs = inputArrangement_.numChannels = NumInputChannels();
  effect_.numOutputs = outputArrangement_.numChannels = NumOutputChannels();
  OnHostKnown();
}

void IEffectVST::SetEditorRect(int width, int height) noexcept {
  editorRect_.top = 0;
  editorRect_.left = 0;
  editorRect_.right = static_cast<int16_t>(width);
  editorRect_.bottom = static_cast<int16_t>(height);
}

void IEffectVST::AttachEditor(std::unique_ptr<IEditor> editor) {
  if (!editor) return;
  IEffectBase::AttachEditor(std::move(editor));
  // Hosts offer an editor button for the flag, and their own view without it.
  if (Editor()->HasWindow()) {
    effect_.flags |= effFlagsHasEditor;
  } else {
    effect_.flags &= ~effFlagsHasEditor;
  }
  SetEditorRect(Editor()->Width(), Editor()->Height());
}

void IEffectVST::ResizeEditor(int width, int height) {
  if (!Editor()) return;
  SetEditorRect(width, height);
  OnEditorResize(width, height);
}

bool IEffectVST::RequestHostWindowSize(int width, int height) {
  return HostCall(audioMasterSizeWindow, width, height) != 0;
}

void IEffectVST::SetLatency(int samples) {
  IEffectBase::SetLatency(samples);
  effect_.initialDelay = samples;
}

bool IEffectVST::ForwardMidiMessage(const MidiMessage& message) {
  VstMidiEvent event = {};
  event.type = kVstMidiType;
  event.byteSize = sizeof(VstMidiEvent);
  event.deltaFrames = message.offset;
  event.midiData[0] = static_cast<char>(message.status);
  event.midiData[1] = static_cast<char>(message.data1);
  event.midiData[2] = static_cast<char>(message.data2);
  VstEvents list = {};
  list.numEvents = 1;
  list.events[0] = reinterpret_cast<VstEvent*>(&event);
  return HostCall(audioMasterProcessEvents, 0, 0, &list) == 1;
}

bool IEffectVST::ForwardSysEx(const SysExMessage& message) {
  VstMidiSysexEvent event = {};
  event.type = kVstSysExType;
  event.byteSize = sizeof(VstMidiSysexEvent);
  event.deltaFrames = message.offset;
  event.dumpBytes = message.size;
  event.sysexDump = reinterpret_cast<char*>(const_cast<uint8_t*>(message.data));
  VstEvents list = {};
  list.numEvents = 1;
  list.events[0] = reinterpret_cast<VstEvent*>(&event);
  return HostCall(audioMasterProcessEvents, 0, 0, &list) == 1;
}

}  // namespace torvane
