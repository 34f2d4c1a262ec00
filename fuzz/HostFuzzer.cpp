// libFuzzer target for everything a host can do to the plug-in. The input is a
// script of host calls on up to two instances, each created through the
// exported entry point of the plug-in library built in this folder: dispatcher
// requests with known and unknown opcodes and the pointers each one takes,
// parameter calls with any float, the three processing callbacks with any
// frame count and connected, missing, shared or in-place buffers, and state
// chunks from the fuzzer or from the plug-in itself, damaged. Every buffer
// handed over is exactly as large as a host makes it, so AddressSanitizer sees
// any access past it. After every call all output is finite and every
// parameter position lies in 0..1; at the end each instance's own state must
// read back unchanged before it is closed.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "fuzz/Require.h"
#include "tools/vsthost/PluginLibrary.h"

namespace torvane {
namespace {

constexpr int kMaxInstances = 2;
constexpr int kMaxSteps = 64;
// Frames per processing call and per input: long enough to pass several
// blocks and the look-ahead, short enough for thousands of runs a second.
constexpr int kMaxFrames = 4096;
constexpr int kFrameBudget = 32768;
// Room hosts give for parameter names, labels and value texts.
constexpr size_t kParameterTextRoom = 32;
constexpr int kMaxEvents = 8;
constexpr size_t kMaxChunkBytes = 2048;
constexpr uint8_t kUntouched = 0xA5;

const float kSpecialFloats[] = {std::numeric_limits<float>::quiet_NaN(),
                                std::numeric_limits<float>::infinity(),
                                -std::numeric_limits<float>::infinity(),
                                FLT_MAX,
                                -FLT_MAX,
                                FLT_MIN,
                                FLT_TRUE_MIN,
                                -0.0f,
                                1.0f,
                                1.0000001f,
                                -1e-30f,
                                1e30f};

const double kSpecialDoubles[] = {DBL_MAX, -DBL_MAX, 1e300, -1e300, 1e200, 1e160, DBL_MIN, DBL_TRUE_MIN,
                                  std::numeric_limits<double>::infinity()};

const char* const kHostNames[] = {
    "Cubase",   "REAPER",    "Nuendo",  "Cakewalk",          "Samplitude", "Fruity",   "Live",
    "Melodyne", "vstmanlib", "AULab",   "GarageBand",        "Forte",      "Chainer",  "Audition",
    "Orion",    "SAWStudio", "Logic",   "Digital Performer", "AudioMulch", "PreSonus", "vst3plugintesthost",
    "ProTools", "Ardour",    "OpenMPT", "Renoise",           "Standalone", "WaveLab",  ""};

// Memory of exactly the size a host hands over, filled with a marker; a
// request for 0 bytes still gives a distinct address that must not be touched.
class HostBuffer {
 public:
  explicit HostBuffer(size_t size) : bytes_(new uint8_t[size]), size_(size) {
    std::memset(bytes_.get(), kUntouched, size);
  }
  uint8_t* Data() const { return bytes_.get(); }
  size_t Size() const { return size_; }
  template <typename T>
  T* As() const {
    return reinterpret_cast<T*>(bytes_.get());
  }
  bool Touched() const {
    return std::any_of(bytes_.get(), bytes_.get() + size_, [](uint8_t b) { return b != kUntouched; });
  }
  bool HoldsText() const { return std::memchr(bytes_.get(), 0, size_) != nullptr; }

 private:
  std::unique_ptr<uint8_t[]> bytes_;
  size_t size_;
};

// The host side of the plug-in's callbacks: identity, time and process level
// as the script chose them.
struct ScriptedHost {
  char productName[kVstMaxProductStrLen] = {};
  VstIntPtr vendorVersion = 0;
  VstIntPtr processLevel = 0;
  bool answersTime = false;
  VstTimeInfo time = {};
  VstIntPtr eventsResult = 0;
};

ScriptedHost* currentHost = nullptr;

VstIntPtr HostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr /*value*/, void* ptr,
                       float /*opt*/) {
  const ScriptedHost& host = *currentHost;
  switch (opcode) {
    case audioMasterVersion:
      return kVstVersion;
    case audioMasterGetProductString:
    case audioMasterGetVendorString:
      Require(ptr != nullptr);
      std::memcpy(ptr, host.productName, sizeof(host.productName));
      return 1;
    case audioMasterGetVendorVersion:
      return host.vendorVersion;
    case audioMasterGetCurrentProcessLevel:
      return host.processLevel;
    case audioMasterGetTime:
      return host.answersTime ? reinterpret_cast<VstIntPtr>(&host.time) : 0;
    case audioMasterProcessEvents: {
      // What the plug-in forwards must be a list a host can walk.
      const auto* events = static_cast<const VstEvents*>(ptr);
      Require(events && events->numEvents >= 0);
      VstEvent* const* entries = EventEntries(*events);
      for (int i = 0; i < events->numEvents; ++i) {
        const VstEvent* event = entries[i];
        Require(event && (event->type == kVstMidiType || event->type == kVstSysExType));
      }
      return host.eventsResult;
    }
    case audioMasterAutomate:
      // Hosts commonly read the automated parameter back at once.
      if (effect && effect->getParameter) {
        const float position = effect->getParameter(effect, index);
        Require(position >= 0.0f && position <= 1.0f);
      }
      return 0;
    default:
      return 0;
  }
}

// One plug-in instance as the host sees it.
struct Instance {
  AEffect* effect = nullptr;
  // Buffers the host hands to each processing call: one per declared
  // channel, or as many as it last arranged.
  int hostInputs = 0;
  int hostOutputs = 0;
  int lastBlockSize = 1024;
};

// Interprets one fuzz input as a host session.
class HostScript {
 public:
  HostScript(const uint8_t* data, size_t size, PluginLibrary::EntryPoint entry) : in_(data, size), entry_(entry) {}

  void Run() {
    ScriptedHost host;
    ConfigureHost(host);
    currentHost = &host;
    for (int step = 0; step < kMaxSteps && in_.remaining_bytes() > 0; ++step) {
      Instance& instance = instances_[in_.ConsumeIntegralInRange(0, kMaxInstances - 1)];
      if (!instance.effect) Create(instance);
      Step(instance);
      if (instance.effect) RequireParametersInRange(instance);
    }
    for (Instance& instance : instances_) {
      if (instance.effect) Finish(instance);
    }
    currentHost = nullptr;
  }

 private:
  void ConfigureHost(ScriptedHost& host) {
    const std::string name = in_.ConsumeIntegralInRange(0, 3) != 0
                                 ? std::string(in_.PickValueInArray(kHostNames))
                                 : in_.ConsumeRandomLengthString(sizeof(host.productName) - 1);
    std::memcpy(host.productName, name.data(), std::min(name.size(), sizeof(host.productName) - 1));
    host.vendorVersion = in_.ConsumeBool() ? in_.ConsumeIntegralInRange(0, 999999) : in_.ConsumeIntegral<VstIntPtr>();
    host.processLevel = in_.ConsumeIntegralInRange(0, 5);
    host.eventsResult = in_.ConsumeIntegralInRange(0, 1);
    host.answersTime = in_.ConsumeBool();
    if (host.answersTime) {
      VstTimeInfo& time = host.time;
      time.flags = in_.ConsumeIntegral<VstInt32>();
      for (double* field : {&time.samplePos, &time.sampleRate, &time.ppqPos, &time.tempo, &time.barStartPos,
                            &time.cycleStartPos, &time.cycleEndPos}) {
        *field = AnyFloat();
      }
      time.timeSigNumerator = in_.ConsumeIntegralInRange(-1, 16);
      time.timeSigDenominator = in_.ConsumeIntegralInRange(-1, 16);
    }
  }

  void Create(Instance& instance) {
    instance = Instance();
    instance.effect = entry_(HostCallback);
    Require(instance.effect && instance.effect->magic == kEffectMagic && instance.effect->numParams > 0);
    instance.hostInputs = instance.effect->numInputs;
    instance.hostOutputs = instance.effect->numOutputs;
  }

  void Step(Instance& instance) {
    switch (in_.ConsumeIntegralInRange(0, 9)) {
      case 0:
        Dispatch(instance, in_.PickValueInArray(kKnownOpcodes));
        break;
      case 1:
        Dispatch(instance, in_.ConsumeIntegral<VstInt32>());
        break;
      case 2:
        instance.effect->setParameter(instance.effect, ParameterIndex(instance), AnyFloat());
        break;
      case 3: {
        const VstInt32 index = ParameterIndex(instance);
        const float position = instance.effect->getParameter(instance.effect, index);
        const bool valid = index >= 0 && index < instance.effect->numParams;
        Require(valid ? position >= 0.0f && position <= 1.0f : position == 0.0f);
        break;
      }
      case 4:
        Process<float>(instance, instance.effect->process, true);
        break;
      case 5:
        Process<float>(instance, instance.effect->processReplacing, false);
        break;
      case 6:
        Process<double>(instance, instance.effect->processDoubleReplacing, false);
        break;
      case 7:
        SetChunk(instance, in_.ConsumeBytes<uint8_t>(in_.ConsumeIntegralInRange<size_t>(0, kMaxChunkBytes)));
        break;
      case 8:
        SetDamagedOwnChunk(instance);
        break;
      default:
        Start(instance);
        break;
    }
  }

  // --- values -----------------------------------------------------------------

  float AnyFloat() {
    switch (in_.ConsumeIntegralInRange(0, 3)) {
      case 0:
        return in_.ConsumeProbability<float>();
      case 1:
        return in_.ConsumeFloatingPoint<float>();
      case 2: {
        const uint32_t bits = in_.ConsumeIntegral<uint32_t>();
        float value;
        std::memcpy(&value, &bits, sizeof(value));
        return value;
      }
      default:
        return in_.PickValueInArray(kSpecialFloats);
    }
  }

  VstInt32 ParameterIndex(const Instance& instance) {
    return in_.ConsumeBool() ? in_.ConsumeIntegralInRange(-1, instance.effect->numParams)
                             : in_.ConsumeIntegral<VstInt32>();
  }

  VstIntPtr BlockSize() {
    switch (in_.ConsumeIntegralInRange(0, 2)) {
      case 0:
        return in_.ConsumeIntegralInRange(1, kMaxFrames);
      case 1:
        return in_.PickValueInArray({0, -1, 1 << 20, (1 << 20) + 1, 0x7fffffff});
      default:
        return in_.ConsumeIntegral<VstIntPtr>();
    }
  }

  float SampleRate() {
    return in_.ConsumeBool() ? in_.PickValueInArray({44100.0f, 48000.0f, 96000.0f, 8000.0f, 384000.0f, 1.0f})
                             : AnyFloat();
  }

  int Frames(const Instance& instance) {
    int frames;
    switch (in_.ConsumeIntegralInRange(0, 6)) {
      case 0:
        frames = in_.ConsumeIntegralInRange(0, 2);
        break;
      case 1:
        frames = instance.lastBlockSize;
        break;
      case 2:
        // More than announced: hosts do it, and the plug-in must cope.
        frames = instance.lastBlockSize + in_.ConsumeIntegralInRange(1, instance.lastBlockSize);
        break;
      case 3:
        return in_.PickValueInArray({-1, std::numeric_limits<int>::min()});
      case 4:
        frames = in_.ConsumeIntegralInRange(1, kMaxFrames);
        break;
      default:
        frames = in_.ConsumeIntegralInRange(1, 512);
        break;
    }
    frames = std::clamp(frames, 0, std::min(kMaxFrames, kFrameBudget - framesUsed_));
    framesUsed_ += frames;
    return frames;
  }

  // --- dispatcher -------------------------------------------------------------

  VstIntPtr Call(Instance& instance, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    return instance.effect->dispatcher(instance.effect, opcode, index, value, ptr, opt);
  }

  // A request with the arguments a host passes for it; unknown opcodes get
  // any values and either no pointer or a buffer of any size.
  void Dispatch(Instance& instance, VstInt32 opcode) {
    const VstInt32 index = in_.ConsumeBool() ? in_.ConsumeIntegralInRange(-1, 16) : in_.ConsumeIntegral<VstInt32>();
    const VstIntPtr value = in_.ConsumeBool() ? in_.ConsumeIntegralInRange(-1, 16) : in_.ConsumeIntegral<VstIntPtr>();
    switch (opcode) {
      case effClose:
        Close(instance);
        return;
      case effGetProgramName:
      case effGetProgramNameIndexed:
        TextOut(instance, opcode, index, kVstMaxProgNameLen);
        return;
      case effGetParamLabel:
      case effGetParamDisplay:
      case effGetParamName:
        TextOut(instance, opcode, index, kParameterTextRoom);
        return;
      case effGetEffectName:
        TextOut(instance, opcode, index, kVstMaxEffectNameLen);
        return;
      case effGetVendorString:
        TextOut(instance, opcode, index, kVstMaxVendorStrLen);
        return;
      case effGetProductString:
        TextOut(instance, opcode, index, kVstMaxProductStrLen);
        return;
      case effVendorSpecific:
        VendorSpecific(instance, value);
        return;
      case effSetProgramName:
      case effString2Parameter:
      case effCanDo:
        TextIn(instance, opcode, index);
        return;
      case effSetSampleRate:
        Call(instance, opcode, index, value, nullptr, SampleRate());
        return;
      case effSetBlockSize: {
        const VstIntPtr frames = BlockSize();
        Call(instance, opcode, index, frames, nullptr, 0.0f);
        if (frames > 0 && frames <= kMaxFrames) instance.lastBlockSize = static_cast<int>(frames);
        return;
      }
      case effEditGetRect:
        EditorRect(instance);
        return;
      case effGetChunk:
        OwnChunk(instance, index == 0);
        return;
      case effSetChunk:
        SetChunk(instance, in_.ConsumeBytes<uint8_t>(in_.ConsumeIntegralInRange<size_t>(0, kMaxChunkBytes)));
        return;
      case effProcessEvents:
        ProcessEvents(instance);
        return;
      case effGetInputProperties:
      case effGetOutputProperties:
        PinProperties(instance, opcode, index);
        return;
      case effSetSpeakerArrangement:
        SetSpeakerArrangement(instance);
        return;
      case effGetSpeakerArrangement:
        GetSpeakerArrangement(instance);
        return;
      case effGetMidiKeyName: {
        std::unique_ptr<HostBuffer> key =
            in_.ConsumeBool() ? std::make_unique<HostBuffer>(sizeof(MidiKeyName)) : nullptr;
        if (key) key->As<MidiKeyName>()->thisKeyNumber = in_.ConsumeIntegral<VstInt32>();
        const VstIntPtr result = Call(instance, opcode, index, value, key ? key->Data() : nullptr, 0.0f);
        if (result) Require(key && std::memchr(key->As<MidiKeyName>()->keyName, 0, kVstMaxNameLen));
        return;
      }
      case effEditOpen:
        // A host passes its own window here; without one, the editor must refuse.
        Call(instance, opcode, index, value, nullptr, 0.0f);
        return;
      default: {
        const bool known =
            std::find(std::begin(kKnownOpcodes), std::end(kKnownOpcodes), opcode) != std::end(kKnownOpcodes);
        // Requests that take no pointer get none from a host; anything else may see any buffer.
        std::unique_ptr<HostBuffer> buffer;
        if (!known && in_.ConsumeBool()) {
          buffer = std::make_unique<HostBuffer>(in_.ConsumeIntegralInRange<size_t>(0, 1024));
        }
        Call(instance, opcode, index, value, buffer ? buffer->Data() : nullptr, AnyFloat());
        return;
      }
    }
  }

  void TextOut(Instance& instance, VstInt32 opcode, VstInt32 index, size_t room) {
    std::unique_ptr<HostBuffer> text = in_.ConsumeBool() ? std::make_unique<HostBuffer>(room) : nullptr;
    Call(instance, opcode, index, 0, text ? text->Data() : nullptr, AnyFloat());
    // Whatever is written ends inside the buffer.
    if (text && text->Touched()) Require(text->HoldsText());
  }

  void VendorSpecific(Instance& instance, VstIntPtr value) {
    const VstInt32 index = in_.ConsumeBool() ? in_.PickValueInArray({7, 8}) : in_.ConsumeIntegral<VstInt32>();
    std::unique_ptr<HostBuffer> text = in_.ConsumeBool() ? std::make_unique<HostBuffer>(kParameterTextRoom) : nullptr;
    Call(instance, effVendorSpecific, index, value, text ? text->Data() : nullptr, AnyFloat());
    if (text && text->Touched()) Require(text->HoldsText());
  }

  void TextIn(Instance& instance, VstInt32 opcode, VstInt32 index) {
    if (!in_.ConsumeBool()) {
      Call(instance, opcode, index, 0, nullptr, 0.0f);
      return;
    }
    const std::string text = in_.ConsumeRandomLengthString(300);
    HostBuffer buffer(text.size() + 1);
    std::memcpy(buffer.Data(), text.c_str(), text.size() + 1);
    Call(instance, opcode, index, 0, buffer.Data(), 0.0f);
  }

  void EditorRect(Instance& instance) {
    std::unique_ptr<HostBuffer> slot = in_.ConsumeBool() ? std::make_unique<HostBuffer>(sizeof(ERect*)) : nullptr;
    if (slot) *slot->As<ERect*>() = nullptr;
    if (!Call(instance, effEditGetRect, 0, 0, slot ? slot->Data() : nullptr, 0.0f)) return;
    Require(slot && *slot->As<ERect*>());
    const ERect rect = **slot->As<ERect*>();
    Require(rect.right >= rect.left && rect.bottom >= rect.top);
  }

  // The plug-in's own state, copied out as a host saves it.
  std::vector<uint8_t> OwnChunk(Instance& instance, bool bank) {
    HostBuffer slot(sizeof(void*));
    *slot.As<void*>() = nullptr;
    const VstIntPtr size = Call(instance, effGetChunk, bank ? 0 : 1, 0, slot.Data(), 0.0f);
    Require(size > 0 && *slot.As<void*>());
    const auto* bytes = static_cast<const uint8_t*>(*slot.As<void*>());
    return std::vector<uint8_t>(bytes, bytes + size);
  }

  void SetChunk(Instance& instance, const std::vector<uint8_t>& bytes) {
    HostBuffer chunk(bytes.size());
    if (!bytes.empty()) std::memcpy(chunk.Data(), bytes.data(), bytes.size());
    const VstIntPtr result =
        Call(instance, effSetChunk, in_.ConsumeIntegralInRange(0, 1), static_cast<VstIntPtr>(bytes.size()),
             in_.ConsumeIntegralInRange(0, 7) ? chunk.Data() : nullptr, 0.0f);
    Require(result == 0 || result == 1);
  }

  // A saved state damaged on disk or in transit: bytes changed, cut short or appended.
  void SetDamagedOwnChunk(Instance& instance) {
    std::vector<uint8_t> bytes = OwnChunk(instance, in_.ConsumeBool());
    for (int n = in_.ConsumeIntegralInRange(0, 4); n > 0; --n) {
      bytes[in_.ConsumeIntegralInRange<size_t>(0, bytes.size() - 1)] = in_.ConsumeIntegral<uint8_t>();
    }
    if (in_.ConsumeBool()) bytes.resize(in_.ConsumeIntegralInRange<size_t>(0, bytes.size() + 16), 0);
    SetChunk(instance, bytes);
  }

  void ProcessEvents(Instance& instance) {
    if (!in_.ConsumeBool()) {
      Call(instance, effProcessEvents, 0, 0, nullptr, 0.0f);
      return;
    }
    const int count = in_.ConsumeIntegralInRange(-1, kMaxEvents);
    // The list holds exactly count event pointers, as hosts allocate it.
    HostBuffer list(offsetof(VstEvents, events) + sizeof(VstEvent*) * std::max(count, 0));
    list.As<VstEvents>()->numEvents = count;
    list.As<VstEvents>()->reserved = 0;
    auto** entries = reinterpret_cast<VstEvent**>(list.Data() + offsetof(VstEvents, events));
    std::vector<std::unique_ptr<HostBuffer>> owned;
    for (int i = 0; i < count; ++i) {
      const int kind = in_.ConsumeIntegralInRange(0, 3);
      if (kind == 0) {
        entries[i] = nullptr;
        continue;
      }
      const size_t bytes = kind == 1 ? sizeof(VstMidiEvent) : kind == 2 ? sizeof(VstMidiSysexEvent) : sizeof(VstEvent);
      owned.push_back(std::make_unique<HostBuffer>(bytes));
      auto* event = owned.back()->As<VstEvent>();
      event->type = kind == 1 ? kVstMidiType : kind == 2 ? kVstSysExType : in_.ConsumeIntegral<VstInt32>();
      event->byteSize = static_cast<VstInt32>(bytes);
      event->deltaFrames = in_.ConsumeIntegral<VstInt32>();
      event->flags = 0;
      if (kind == 1) {
        auto* midi = owned.back()->As<VstMidiEvent>();
        for (char& b : midi->midiData) b = static_cast<char>(in_.ConsumeIntegral<uint8_t>());
      } else if (kind == 2) {
        auto* sysex = owned.back()->As<VstMidiSysexEvent>();
        const size_t dumpBytes = in_.ConsumeIntegralInRange<size_t>(0, 64);
        owned.push_back(std::make_unique<HostBuffer>(dumpBytes));
        sysex->dumpBytes = static_cast<VstInt32>(dumpBytes);
        sysex->sysexDump = owned.back()->As<char>();
        sysex->resvd1 = sysex->resvd2 = 0;
      }
      entries[i] = event;
    }
    Call(instance, effProcessEvents, 0, 0, list.Data(), 0.0f);
  }

  void PinProperties(Instance& instance, VstInt32 opcode, VstInt32 index) {
    std::unique_ptr<HostBuffer> pin =
        in_.ConsumeBool() ? std::make_unique<HostBuffer>(sizeof(VstPinProperties)) : nullptr;
    if (!Call(instance, opcode, index, 0, pin ? pin->Data() : nullptr, 0.0f)) return;
    Require(pin && std::memchr(pin->As<VstPinProperties>()->label, 0, kVstMaxLabelLen));
  }

  std::unique_ptr<HostBuffer> Arrangement() {
    if (!in_.ConsumeBool()) return nullptr;
    auto arrangement = std::make_unique<HostBuffer>(sizeof(VstSpeakerArrangement));
    arrangement->As<VstSpeakerArrangement>()->type = in_.ConsumeIntegralInRange(-2, 2);
    arrangement->As<VstSpeakerArrangement>()->numChannels =
        in_.ConsumeBool() ? in_.ConsumeIntegralInRange(0, 3) : in_.ConsumeIntegral<VstInt32>();
    return arrangement;
  }

  void SetSpeakerArrangement(Instance& instance) {
    const std::unique_ptr<HostBuffer> inputs = Arrangement(), outputs = Arrangement();
    const VstIntPtr result =
        Call(instance, effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(inputs ? inputs->Data() : nullptr),
             outputs ? outputs->Data() : nullptr, 0.0f);
    if (!result) return;
    // From now on the host hands over as many buffers as it arranged.
    if (inputs) {
      instance.hostInputs = std::clamp(inputs->As<VstSpeakerArrangement>()->numChannels, 0, instance.effect->numInputs);
    }
    if (outputs) {
      instance.hostOutputs =
          std::clamp(outputs->As<VstSpeakerArrangement>()->numChannels, 0, instance.effect->numOutputs);
    }
  }

  void GetSpeakerArrangement(Instance& instance) {
    std::unique_ptr<HostBuffer> slots[2];
    for (auto& slot : slots) {
      if (in_.ConsumeBool()) {
        slot = std::make_unique<HostBuffer>(sizeof(VstSpeakerArrangement*));
        *slot->As<VstSpeakerArrangement*>() = nullptr;
      }
    }
    Call(instance, effGetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(slots[0] ? slots[0]->Data() : nullptr),
         slots[1] ? slots[1]->Data() : nullptr, 0.0f);
    for (auto& slot : slots) {
      const VstSpeakerArrangement* arrangement = slot ? *slot->As<VstSpeakerArrangement*>() : nullptr;
      if (!arrangement) continue;
      Require(arrangement->numChannels >= 0 && arrangement->numChannels <= 8);
      // A host reads the record's speakers, one per channel.
      volatile float sum = 0.0f;
      for (int i = 0; i < arrangement->numChannels; ++i) sum = sum + arrangement->speakers[i].azimuth;
    }
  }

  // --- processing -------------------------------------------------------------

  template <typename Sample>
  void FillInput(Sample* samples, int frames) {
    const int kind = in_.ConsumeIntegralInRange(0, 3);
    const Sample amplitude = kind == 0 ? Sample(0) : AnySample<Sample>();
    const double step = in_.ConsumeProbability<double>();
    for (int f = 0; f < frames; ++f) samples[f] = static_cast<Sample>(amplitude * std::sin(step * f));
    if (kind == 3) {
      // Raw samples as a damaged file or a broken upstream plug-in delivers them.
      for (int f = 0; f < frames && f < 64 && in_.remaining_bytes() > 0; ++f) samples[f] = AnySample<Sample>();
    }
    for (int n = frames > 0 ? in_.ConsumeIntegralInRange(0, 3) : 0; n > 0; --n) {
      samples[in_.ConsumeIntegralInRange(0, frames - 1)] = AnySample<Sample>();
    }
  }

  // Any sample; in double precision also the values beyond single precision's
  // range, which only a double-precision host can deliver and which can
  // overflow the filters.
  template <typename Sample>
  Sample AnySample() {
    if constexpr (std::is_same_v<Sample, double>) {
      if (in_.ConsumeBool()) {
        if (in_.ConsumeBool()) return in_.PickValueInArray(kSpecialDoubles);
        const uint64_t bits = in_.ConsumeIntegral<uint64_t>();
        double value;
        std::memcpy(&value, &bits, sizeof(value));
        return value;
      }
    }
    return static_cast<Sample>(AnyFloat());
  }

  template <typename Sample, typename Callback>
  void Process(Instance& instance, Callback process, bool accumulate) {
    const int frames = Frames(instance);
    const size_t length = static_cast<size_t>(std::max(frames, 0));
    using Buffer = std::unique_ptr<Sample[]>;
    std::vector<Buffer> inputs, outputs;
    std::vector<Sample*> inputPointers(instance.hostInputs, nullptr), outputPointers(instance.hostOutputs, nullptr);
    for (int i = 0; i < instance.hostInputs; ++i) {
      const int kind = in_.ConsumeIntegralInRange(0, 3);
      if (kind == 0) continue;  // a channel the host leaves without a buffer
      if (kind == 1 && i > 0 && inputPointers[0]) {
        inputPointers[i] = inputPointers[0];  // one source feeding both inputs
        continue;
      }
      inputs.emplace_back(new Sample[length]);
      FillInput(inputs.back().get(), frames);
      inputPointers[i] = inputs.back().get();
    }
    std::vector<std::vector<Sample>> inputCopies;
    for (Sample* input : inputPointers)
      inputCopies.emplace_back(input ? input : nullptr, input ? input + length : nullptr);
    for (int i = 0; i < instance.hostOutputs; ++i) {
      const int kind = in_.ConsumeIntegralInRange(0, 3);
      if (kind == 0) continue;
      // In place: the host reuses the input buffer for the output (never when
      // adding, and never one buffer for two outputs).
      if (kind == 1 && !accumulate && i < instance.hostInputs && inputPointers[i] &&
          std::find(outputPointers.begin(), outputPointers.end(), inputPointers[i]) == outputPointers.end()) {
        outputPointers[i] = inputPointers[i];
        continue;
      }
      outputs.emplace_back(new Sample[length]);
      // The host's mix that an accumulating call adds to is finite.
      const Sample mix = accumulate ? static_cast<Sample>(in_.ConsumeFloatingPointInRange(-1.0, 1.0)) : Sample(0);
      std::fill(outputs.back().get(), outputs.back().get() + length, mix);
      outputPointers[i] = outputs.back().get();
    }
    const bool arrays = in_.ConsumeIntegralInRange(0, 15) != 0;
    process(instance.effect, arrays ? inputPointers.data() : nullptr, arrays ? outputPointers.data() : nullptr, frames);
    if (!arrays) return;
    for (size_t i = 0; i < outputPointers.size(); ++i) {
      Sample* output = outputPointers[i];
      if (!output) continue;
      for (int f = 0; f < frames; ++f) Require(std::isfinite(output[f]));
    }
    // The host's inputs are the plug-in's to read, never to write.
    for (size_t i = 0; i < inputPointers.size(); ++i) {
      const Sample* input = inputPointers[i];
      if (!input || std::find(outputPointers.begin(), outputPointers.end(), input) != outputPointers.end()) continue;
      Require(length == 0 || std::memcmp(input, inputCopies[i].data(), length * sizeof(Sample)) == 0);
    }
  }

  // --- lifecycle --------------------------------------------------------------

  // What most hosts send before playing, with the script's values.
  void Start(Instance& instance) {
    Call(instance, effOpen, 0, 0, nullptr, 0.0f);
    Call(instance, effSetSampleRate, 0, 0, nullptr, SampleRate());
    const VstIntPtr frames = BlockSize();
    Call(instance, effSetBlockSize, 0, frames, nullptr, 0.0f);
    if (frames > 0 && frames <= kMaxFrames) instance.lastBlockSize = static_cast<int>(frames);
    Call(instance, effMainsChanged, 0, in_.ConsumeIntegralInRange(0, 1), nullptr, 0.0f);
  }

  void RequireParametersInRange(Instance& instance) {
    for (int i = 0; i < instance.effect->numParams; ++i) {
      const float position = instance.effect->getParameter(instance.effect, i);
      Require(position >= 0.0f && position <= 1.0f);
    }
  }

  std::vector<float> Positions(Instance& instance) {
    std::vector<float> positions;
    for (int i = 0; i < instance.effect->numParams; ++i) {
      positions.push_back(instance.effect->getParameter(instance.effect, i));
    }
    return positions;
  }

  // Whatever happened, the instance's own program and bank read back
  // unchanged: a host that saves and reloads a project gets the same sound.
  void Finish(Instance& instance) {
    for (bool bank : {false, true}) {
      const std::vector<float> before = Positions(instance);
      std::vector<uint8_t> saved = OwnChunk(instance, bank);
      HostBuffer chunk(saved.size());
      std::memcpy(chunk.Data(), saved.data(), saved.size());
      Require(Call(instance, effSetChunk, bank ? 0 : 1, static_cast<VstIntPtr>(saved.size()), chunk.Data(), 0.0f) == 1);
      Require(Positions(instance) == before);
      Require(OwnChunk(instance, bank) == saved);
    }
    Close(instance);
  }

  void Close(Instance& instance) {
    Call(instance, effClose, 0, 0, nullptr, 0.0f);
    instance = Instance();
  }

  static constexpr VstInt32 kKnownOpcodes[] = {effOpen,
                                               effClose,
                                               effSetProgram,
                                               effGetProgram,
                                               effSetProgramName,
                                               effGetProgramName,
                                               effGetParamLabel,
                                               effGetParamDisplay,
                                               effGetParamName,
                                               effSetSampleRate,
                                               effSetBlockSize,
                                               effMainsChanged,
                                               effEditGetRect,
                                               effEditOpen,
                                               effEditClose,
                                               effEditIdle,
                                               effIdentify,
                                               effGetChunk,
                                               effSetChunk,
                                               effProcessEvents,
                                               effCanBeAutomated,
                                               effString2Parameter,
                                               effGetProgramNameIndexed,
                                               effGetInputProperties,
                                               effGetOutputProperties,
                                               effGetPlugCategory,
                                               effProcessVarIo,
                                               effSetSpeakerArrangement,
                                               effGetEffectName,
                                               effGetVendorString,
                                               effGetProductString,
                                               effGetVendorVersion,
                                               effVendorSpecific,
                                               effCanDo,
                                               effGetTailSize,
                                               effIdle,
                                               effGetVstVersion,
                                               effGetMidiKeyName,
                                               effGetSpeakerArrangement};

  FuzzedDataProvider in_;
  PluginLibrary::EntryPoint entry_;
  Instance instances_[kMaxInstances];
  int framesUsed_ = 0;
};

// The library stays loaded for the whole run (and is never unloaded, so that
// leak reports can still name its functions).
PluginLibrary::EntryPoint pluginEntry = nullptr;

}  // namespace
}  // namespace torvane

using namespace torvane;

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
  static auto* library = new PluginLibrary;
  Require(library->Load(TORVANE_PLUGIN_PATH));
  pluginEntry = library->Entry();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  HostScript(data, size, pluginEntry).Run();
  return 0;
}
