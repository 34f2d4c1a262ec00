#pragma once

#include <string>
#include <vector>

#include "tools/common/ParameterInfo.h"
#include "tools/vsthost/PluginLibrary.h"

namespace torvane {

// A small offline VST 2.4 host: loads one plug-in, configures it for a sample
// rate and block size, describes and sets its parameters, moves its state in
// and out, and runs it one block at a time as a host's offline bounce does.
// One instance per process, used from the main thread only: the host callback
// reaches it through a process-wide pointer, since a plug-in calls back while
// it is still being created.
class OfflineHost {
 public:
  struct Settings {
    double sampleRate = 48000.0;
    int blockSize = 512;
    bool doublePrecision = false;
  };

  OfflineHost();
  ~OfflineHost();
  OfflineHost(const OfflineHost&) = delete;
  OfflineHost& operator=(const OfflineHost&) = delete;

  // Loads the library, creates and opens the effect. False with Error() on failure.
  bool Open(const std::string& pluginPath, const Settings& settings);

  int NumInputs() const { return effect_->numInputs; }
  int NumOutputs() const { return effect_->numOutputs; }
  int NumParameters() const { return effect_->numParams; }
  std::string EffectName();

  // The parameter of that name in any letter case, or -1 with an Error() that
  // lists the plug-in's parameters.
  int FindParameter(const std::string& name);
  std::string ParameterName(int index);
  std::string ParameterDisplay(int index);
  std::string ParameterLabel(int index);
  // Probes the parameter's range, unit and choices. This moves it through its
  // positions and puts it back where it was; call it before processing starts.
  ParameterInfo DescribeParameter(int index);
  // Sets a value parsed against DescribeParameter's result, then checks that
  // the plug-in took it.
  bool SetParameter(const ParameterInfo& parameter, const ParameterValue& value);
  bool SetParameterPosition(int index, double position);

  // The plug-in's current program state as it hands it out.
  bool GetState(std::vector<char>& state);
  // Restores a program state; `source` names it in messages. A state in this
  // project's own chunk format is checked against the plug-in's before the
  // plug-in sees it.
  bool SetState(const std::vector<char>& state, const std::string& source);

  // Switches processing on and sizes the buffers; the latency is known after it.
  void Start();
  int Latency() const { return latency_; }
  // Processes up to the block size of frames, one buffer per plug-in input and
  // output. The plug-in may write into the input buffers.
  void Process(double* const* inputs, double* const* outputs, int frames);
  // Torvane's meter request (vst/MeterRequest.h): writes up to capacity meter
  // positions and returns how many meters the plug-in has; 0 from a plug-in
  // that does not know the request. Call it between processing calls.
  int ReadMeters(double* positions, int capacity);
  // Seconds spent inside the plug-in's processing calls so far.
  double PluginSeconds() const { return pluginSeconds_; }

  const std::string& Error() const { return error_; }

 private:
  static VstIntPtr Callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                            float opt);
  VstIntPtr Dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                     float opt = 0.0f);
  bool Fail(const std::string& message);

  PluginLibrary library_;
  AEffect* effect_ = nullptr;
  Settings settings_;
  VstTimeInfo time_ = {};
  bool processing_ = false;
  int latency_ = 0;
  double pluginSeconds_ = 0.0;
  std::vector<std::vector<float>> floatInputs_, floatOutputs_;
  std::vector<float*> floatInputPointers_, floatOutputPointers_;
  std::vector<double*> doubleInputPointers_, doubleOutputPointers_;
  std::string error_;
};

}  // namespace torvane
