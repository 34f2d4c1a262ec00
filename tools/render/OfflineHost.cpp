#include "tools/render/OfflineHost.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "tools/render/StateFile.h"
#include "vst/MeterRequest.h"

namespace torvane {

namespace {
// Dispatcher requests beyond the ones the effect adapter declares.
constexpr VstInt32 effStartProcess = 71;
constexpr VstInt32 effStopProcess = 72;
constexpr double kHostTempo = 96.0;
// Positions tried when a parameter is described: fine enough to find every
// choice of a stepped parameter with up to kMaxChoices choices.
constexpr int kProbePositions = 256;
constexpr size_t kMaxChoices = 64;
// A position read back further than this from the one set was quantised.
constexpr float kPositionTolerance = 1e-4f;
// Room for any text a plug-in writes; VST 2.4 limits them to far less.
constexpr size_t kTextBuffer = 256;

OfflineHost* current = nullptr;
}  // namespace

OfflineHost::OfflineHost() { current = this; }

OfflineHost::~OfflineHost() {
  if (effect_) {
    if (processing_) {
      Dispatch(effStopProcess);
      Dispatch(effMainsChanged, 0, 0);
    }
    Dispatch(effClose);
  }
  if (current == this) current = nullptr;
}

bool OfflineHost::Fail(const std::string& message) {
  error_ = message;
  return false;
}

VstIntPtr OfflineHost::Dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
  return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
}

VstIntPtr OfflineHost::Callback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void* ptr, float) {
  if (!current) return 0;
  switch (opcode) {
    case audioMasterVersion:
      return kVstVersion;
    case audioMasterGetSampleRate:
      return static_cast<VstIntPtr>(current->settings_.sampleRate);
    case audioMasterGetBlockSize:
      return current->settings_.blockSize;
    case audioMasterGetCurrentProcessLevel:
      return kVstProcessLevelOffline;
    case audioMasterGetTime:
      return reinterpret_cast<VstIntPtr>(&current->time_);
    case audioMasterGetProductString:
      if (ptr) std::strcpy(static_cast<char*>(ptr), "Torvane Render");
      return 1;
    case audioMasterGetVendorString:
      if (ptr) std::strcpy(static_cast<char*>(ptr), "Quillfen");
      return 1;
    case audioMasterGetVendorVersion:
      return 10000;
    default:
      return 0;
  }
}

bool OfflineHost::Open(const std::string& pluginPath, const Settings& settings) {
  settings_ = settings;
  time_.sampleRate = settings.sampleRate;
  time_.tempo = kHostTempo;
  time_.timeSigNumerator = 4;
  time_.timeSigDenominator = 4;
  time_.flags = kVstTempoValid | kVstTimeSigValid | kVstPpqPosValid;
  if (!library_.Load(pluginPath)) return Fail(library_.Error());
  effect_ = library_.CreateEffect(Callback);
  if (!effect_) return Fail(library_.Error());
  if (settings.doublePrecision && !(effect_->flags & effFlagsCanDoubleReplacing)) {
    return Fail("the plug-in cannot process in double precision");
  }
  if (!(effect_->flags & effFlagsCanReplacing) && !settings.doublePrecision) {
    return Fail("the plug-in has no replacing single-precision processing");
  }
  if (effect_->numOutputs < 1) return Fail("the plug-in has no audio outputs");
  Dispatch(effOpen);
  Dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(settings.sampleRate));
  Dispatch(effSetBlockSize, 0, settings.blockSize);
  return true;
}

std::string OfflineHost::EffectName() {
  char name[kTextBuffer] = {};
  Dispatch(effGetEffectName, 0, 0, name);
  return name[0] ? name : "the plug-in";
}

std::string OfflineHost::ParameterName(int index) {
  char name[kTextBuffer] = {};
  Dispatch(effGetParamName, index, 0, name);
  return name;
}

std::string OfflineHost::ParameterDisplay(int index) {
  char text[kTextBuffer] = {};
  Dispatch(effGetParamDisplay, index, 0, text);
  return text;
}

std::string OfflineHost::ParameterLabel(int index) {
  char label[kTextBuffer] = {};
  Dispatch(effGetParamLabel, index, 0, label);
  return label;
}

int OfflineHost::FindParameter(const std::string& name) {
  for (int i = 0; i < effect_->numParams; ++i) {
    if (SameTextIgnoringCase(ParameterName(i), name)) return i;
  }
  std::string list;
  for (int i = 0; i < effect_->numParams; ++i) list += "\n  " + ParameterName(i);
  error_ = "the plug-in has no parameter \"" + name + "\"; its parameters are:" + list;
  return -1;
}

ParameterInfo OfflineHost::DescribeParameter(int index) {
  ParameterInfo info;
  info.index = index;
  info.name = ParameterName(index);
  info.current = ParameterDisplay(index);
  const float start = effect_->getParameter(effect_, index);

  struct Run {
    std::string text;
    int first, last;  // probe numbers showing the text
  };
  std::vector<Run> runs;
  bool stepped = false, words = false;
  for (int k = 0; k <= kProbePositions; ++k) {
    const float position = static_cast<float>(k) / kProbePositions;
    effect_->setParameter(effect_, index, position);
    stepped = stepped || std::fabs(effect_->getParameter(effect_, index) - position) > kPositionTolerance;
    const std::string text = ParameterDisplay(index);
    double number = 0.0;
    std::string unit;
    words = words || !SplitNumberAndUnit(text, number, unit);
    if (runs.empty() || runs.back().text != text) runs.push_back({text, k, k});
    runs.back().last = k;
  }
  effect_->setParameter(effect_, index, start);

  if ((stepped || words) && runs.size() <= kMaxChoices) {
    // The middle of the positions that showed a choice selects it whichever
    // way the plug-in rounds positions to its steps.
    for (const Run& run : runs) {
      info.choices.push_back({run.text, static_cast<float>(run.first + run.last) / (2.0f * kProbePositions)});
    }
    return info;
  }
  info.unit = ParameterLabel(index);
  info.minText = runs.front().text;
  info.maxText = runs.back().text;
  std::string unit;
  info.hasRange = SplitNumberAndUnit(info.minText, info.min, unit) && SplitNumberAndUnit(info.maxText, info.max, unit);
  if (info.min > info.max) std::swap(info.min, info.max);
  return info;
}

bool OfflineHost::SetParameter(const ParameterInfo& parameter, const ParameterValue& value) {
  if (value.choice >= 0) {
    const ParameterChoice& choice = parameter.choices[value.choice];
    effect_->setParameter(effect_, parameter.index, choice.position);
    if (ParameterDisplay(parameter.index) != choice.text) {
      return Fail("the plug-in did not take \"" + choice.text + "\" for \"" + parameter.name + "\"");
    }
    return true;
  }
  // Seventeen digits carry every double exactly through the plug-in's own reading.
  char text[64];
  std::snprintf(text, sizeof text, "%.17g", value.number);
  if (Dispatch(effString2Parameter, parameter.index, 0, text) == 0) {
    return Fail("the plug-in does not take typed values for \"" + parameter.name +
                "\"; give a position from 0 to 1 with --position instead");
  }
  return true;
}

bool OfflineHost::SetParameterPosition(int index, double position) {
  if (!(position >= 0.0 && position <= 1.0)) {
    return Fail("the position of \"" + ParameterName(index) + "\" must lie between 0 and 1");
  }
  effect_->setParameter(effect_, index, static_cast<float>(position));
  return true;
}

bool OfflineHost::GetState(std::vector<char>& state) {
  void* data = nullptr;
  const VstIntPtr size = Dispatch(effGetChunk, 1, 0, &data);
  if (size <= 0 || !data) return Fail("the plug-in does not hand out its state");
  const char* bytes = static_cast<const char*>(data);
  state.assign(bytes, bytes + size);
  return true;
}

bool OfflineHost::SetState(const std::vector<char>& state, const std::string& source) {
  std::vector<char> own;
  if (!GetState(own)) return false;
  std::string why;
  if (!CheckStateChunk(state, own, effect_->numParams, why)) {
    return Fail(source + " is not a state of " + EffectName() + ": " + why);
  }
  std::vector<char> copy = state;  // the plug-in takes a writable pointer
  if (Dispatch(effSetChunk, 1, static_cast<VstIntPtr>(copy.size()), copy.data()) != 1) {
    return Fail("the plug-in rejected the state in " + source);
  }
  return true;
}

int OfflineHost::ReadMeters(double* positions, int capacity) {
  const VstIntPtr count = Dispatch(effVendorSpecific, kVendorSpecificReadMeters, capacity, positions);
  return count > 0 && count <= 0x7fffffff ? static_cast<int>(count) : 0;
}

void OfflineHost::Start() {
  Dispatch(effMainsChanged, 0, 1);
  Dispatch(effStartProcess);
  processing_ = true;
  // The latency is known once processing is switched on.
  latency_ = std::max(0, effect_->initialDelay);
  const size_t block = static_cast<size_t>(settings_.blockSize);
  floatInputs_.assign(std::max(effect_->numInputs, 1), std::vector<float>(block));
  floatOutputs_.assign(effect_->numOutputs, std::vector<float>(block));
  floatInputPointers_.clear();
  floatOutputPointers_.clear();
  for (auto& channel : floatInputs_) floatInputPointers_.push_back(channel.data());
  for (auto& channel : floatOutputs_) floatOutputPointers_.push_back(channel.data());
  doubleInputPointers_.assign(floatInputs_.size(), nullptr);
  doubleOutputPointers_.assign(floatOutputs_.size(), nullptr);
}

void OfflineHost::Process(double* const* inputs, double* const* outputs, int frames) {
  time_.ppqPos = time_.samplePos / settings_.sampleRate * kHostTempo / 60.0;
  const int inputCount = effect_->numInputs, outputCount = effect_->numOutputs;
  // Only the plug-in's own call counts as its time; conversions are the host's.
  const auto timed = [this](auto call) {
    const auto start = std::chrono::steady_clock::now();
    call();
    pluginSeconds_ += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  };
  if (settings_.doublePrecision) {
    std::copy(inputs, inputs + inputCount, doubleInputPointers_.begin());
    std::copy(outputs, outputs + outputCount, doubleOutputPointers_.begin());
    timed([&] {
      effect_->processDoubleReplacing(effect_, doubleInputPointers_.data(), doubleOutputPointers_.data(), frames);
    });
  } else {
    for (int c = 0; c < inputCount; ++c) std::copy(inputs[c], inputs[c] + frames, floatInputs_[c].begin());
    timed([&] { effect_->processReplacing(effect_, floatInputPointers_.data(), floatOutputPointers_.data(), frames); });
    for (int c = 0; c < outputCount; ++c) {
      std::copy(floatOutputs_[c].begin(), floatOutputs_[c].begin() + frames, outputs[c]);
    }
  }
  time_.samplePos += frames;
}

}  // namespace torvane
