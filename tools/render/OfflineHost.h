#pragma once

#include <functional>
#include <string>
#include <vector>

#include "tools/render/AudioFile.h"
#include "tools/vsthost/PluginLibrary.h"

namespace torvane {

// A small offline VST 2.4 host: loads one plug-in, configures it for a sample
// rate and block size, sets parameters and state, and renders whole buffers
// block by block as a host's offline bounce does. One instance per process:
// the host callback reaches it through a process-wide pointer, since a plug-in
// calls back while it is still being created.
class OfflineHost {
 public:
  struct Settings {
    double sampleRate = 48000.0;
    int blockSize = 512;
    bool doublePrecision = false;
    bool compensateLatency = true;
  };

  OfflineHost();
  ~OfflineHost();
  OfflineHost(const OfflineHost&) = delete;
  OfflineHost& operator=(const OfflineHost&) = delete;

  // Loads the library, creates and opens the effect. False with Error() on failure.
  bool Open(const std::string& pluginPath, const Settings& settings);

  int NumInputs() const { return effect_->numInputs; }
  int NumOutputs() const { return effect_->numOutputs; }
  int Latency() const { return effect_->initialDelay; }
  std::vector<std::string> ParameterNames();

  // Sets a parameter by name from a value in its own units (a number, or one
  // of the texts the plug-in shows for it), as the host's text entry does.
  bool SetParameterText(const std::string& name, const std::string& value);
  // Sets a parameter by name from a normalised position 0..1.
  bool SetParameterPosition(const std::string& name, double position);
  std::string ParameterDisplay(int index);

  bool LoadState(const std::string& path);
  bool SaveState(const std::string& path);

  // Renders input (one channel per plug-in input, or one channel for all of
  // them) into output, reporting progress 0..1 as it goes.
  bool Render(const AudioBuffer& input, AudioBuffer& output, const std::function<void(double)>& progress);

  const std::string& Error() const { return error_; }

 private:
  static VstIntPtr Callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                            float opt);
  VstIntPtr Dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                     float opt = 0.0f);
  int FindParameter(const std::string& name);
  bool Fail(const std::string& message);

  PluginLibrary library_;
  AEffect* effect_ = nullptr;
  Settings settings_;
  VstTimeInfo time_ = {};
  std::string error_;
};

}  // namespace torvane
