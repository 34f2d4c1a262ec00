#include "tools/render/OfflineHost.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

namespace torvane {

namespace {
// Dispatcher requests beyond the ones the effect adapter declares.
constexpr VstInt32 effStartProcess = 71;
constexpr VstInt32 effStopProcess = 72;
constexpr VstInt32 audioMasterGetVendorStringOpcode = 32;
constexpr double kHostTempo = 96.0;

OfflineHost* current = nullptr;

bool SameName(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

bool IsNumber(const std::string& text) {
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  return !text.empty() && end && *end == '\0' && std::isfinite(value);
}
}  // namespace

OfflineHost::OfflineHost() { current = this; }

OfflineHost::~OfflineHost() {
  if (effect_) {
    Dispatch(effStopProcess);
    Dispatch(effMainsChanged, 0, 0);
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
    case audioMasterGetVendorStringOpcode:
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

std::vector<std::string> OfflineHost::ParameterNames() {
  std::vector<std::string> names;
  for (int i = 0; i < effect_->numParams; ++i) {
    char name[256] = {};
    Dispatch(effGetParamName, i, 0, name);
    names.emplace_back(name);
  }
  return names;
}

std::string OfflineHost::ParameterDisplay(int index) {
  char text[256] = {};
  Dispatch(effGetParamDisplay, index, 0, text);
  return text;
}

int OfflineHost::FindParameter(const std::string& name) {
  const std::vector<std::string> names = ParameterNames();
  for (size_t i = 0; i < names.size(); ++i) {
    if (SameName(names[i], name)) return static_cast<int>(i);
  }
  std::string list;
  for (const std::string& valid : names) list += "\n  " + valid;
  error_ = "the plug-in has no parameter \"" + name + "\"; its parameters are:" + list;
  return -1;
}

bool OfflineHost::SetParameterText(const std::string& name, const std::string& value) {
  const int index = FindParameter(name);
  if (index < 0) return false;
  std::vector<char> text(value.begin(), value.end());
  text.push_back('\0');
  const bool accepted = Dispatch(effString2Parameter, index, 0, text.data()) != 0;
  // A text that is not a number only counts when the plug-in shows it back:
  // some plug-ins read any text as a number and quietly make it 0.
  if (!accepted || (!IsNumber(value) && ParameterDisplay(index) != value)) {
    return Fail("cannot set \"" + name + "\" to \"" + value +
                "\": give a number in the parameter's own units or one of the texts it shows (now \"" +
                ParameterDisplay(index) + "\")");
  }
  return true;
}

bool OfflineHost::SetParameterPosition(const std::string& name, double position) {
  const int index = FindParameter(name);
  if (index < 0) return false;
  if (!(position >= 0.0 && position <= 1.0)) {
    return Fail("the position of \"" + name + "\" must lie between 0 and 1");
  }
  effect_->setParameter(effect_, index, static_cast<float>(position));
  return true;
}

bool OfflineHost::LoadState(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return Fail("cannot read the state file " + path);
  std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  if (bytes.empty()) return Fail("the state file " + path + " is empty");
  if (Dispatch(effSetChunk, 1, static_cast<VstIntPtr>(bytes.size()), bytes.data()) != 1) {
    return Fail("the plug-in rejected the state in " + path);
  }
  return true;
}

bool OfflineHost::SaveState(const std::string& path) {
  void* data = nullptr;
  const VstIntPtr size = Dispatch(effGetChunk, 1, 0, &data);
  if (size <= 0 || !data) return Fail("the plug-in does not hand out its state as a chunk");
  const std::string temporary = path + ".partial";
  {
    std::ofstream file(temporary, std::ios::binary);
    file.write(static_cast<const char*>(data), size);
    if (!file.flush()) {
      std::remove(temporary.c_str());
      return Fail("cannot write the state file " + path);
    }
  }
  if (std::rename(temporary.c_str(), path.c_str()) != 0) {
    std::remove(temporary.c_str());
    return Fail("cannot write the state file " + path);
  }
  return true;
}

bool OfflineHost::Render(const AudioBuffer& input, AudioBuffer& output, const std::function<void(double)>& progress) {
  const int inputs = effect_->numInputs;
  const int outputs = effect_->numOutputs;
  const int fileChannels = static_cast<int>(input.channels.size());
  if (fileChannels > 1 && fileChannels > inputs) {
    return Fail("the input has " + std::to_string(fileChannels) + " channels but the plug-in only " +
                std::to_string(inputs) + " inputs");
  }
  Dispatch(effMainsChanged, 0, 1);
  Dispatch(effStartProcess);
  // The latency is known once processing is switched on.
  const int latency = settings_.compensateLatency ? std::max(0, effect_->initialDelay) : 0;

  const size_t frames = input.Frames();
  const size_t total = frames + latency;
  const int block = settings_.blockSize;
  std::vector<std::vector<double>> in(std::max(inputs, 1), std::vector<double>(block));
  std::vector<std::vector<double>> out(outputs, std::vector<double>(block));
  std::vector<std::vector<float>> inFloat(in.size(), std::vector<float>(block));
  std::vector<std::vector<float>> outFloat(outputs, std::vector<float>(block));
  std::vector<double*> inPointers, outPointers;
  std::vector<float*> inFloatPointers, outFloatPointers;
  for (auto& c : in) inPointers.push_back(c.data());
  for (auto& c : out) outPointers.push_back(c.data());
  for (auto& c : inFloat) inFloatPointers.push_back(c.data());
  for (auto& c : outFloat) outFloatPointers.push_back(c.data());

  output.sampleRate = input.sampleRate;
  output.channels.assign(outputs, std::vector<double>(frames, 0.0));
  for (size_t start = 0; start < total; start += block) {
    const int n = static_cast<int>(std::min<size_t>(block, total - start));
    for (int c = 0; c < inputs; ++c) {
      // A mono file feeds every input; inputs beyond the file's channels stay silent.
      const std::vector<double>* source =
          fileChannels == 1 ? &input.channels[0] : c < fileChannels ? &input.channels[c] : nullptr;
      for (int i = 0; i < n; ++i) {
        const size_t f = start + i;
        in[c][i] = source && f < frames ? (*source)[f] : 0.0;
        inFloat[c][i] = static_cast<float>(in[c][i]);
      }
    }
    time_.samplePos = static_cast<double>(start);
    time_.ppqPos = start / settings_.sampleRate * kHostTempo / 60.0;
    if (settings_.doublePrecision) {
      effect_->processDoubleReplacing(effect_, inPointers.data(), outPointers.data(), n);
    } else {
      effect_->processReplacing(effect_, inFloatPointers.data(), outFloatPointers.data(), n);
      for (int c = 0; c < outputs; ++c) std::copy(outFloat[c].begin(), outFloat[c].begin() + n, out[c].begin());
    }
    for (int c = 0; c < outputs; ++c) {
      for (int i = 0; i < n; ++i) {
        const size_t f = start + i;
        if (f >= static_cast<size_t>(latency) && f - latency < frames) output.channels[c][f - latency] = out[c][i];
      }
    }
    if (progress) progress(static_cast<double>(start + n) / total);
  }
  return true;
}

}  // namespace torvane
