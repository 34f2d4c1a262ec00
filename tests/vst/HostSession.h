#pragma once

#include <vector>

#include "tools/vsthost/PluginLibrary.h"

namespace torvane {

// A host callback that answers its version and nothing else; safe from any thread.
VstIntPtr QuietHost(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);

// Stereo buffers for one instance and the three ways a host processes them.
// Owned by the thread that drives the instance.
class BlockRunner {
 public:
  explicit BlockRunner(int frames);

  // Processes the next block of a plucked bass tone through the callback the
  // block number chooses (replacing, accumulating, double precision); false
  // when any output sample is not finite.
  bool Run(AEffect* effect, int block);
  // Sum of the output's magnitudes so far: an effect that only ever returns
  // silence would pass every finiteness check.
  double Energy() const { return energy_; }

 private:
  int frames_;
  std::vector<float> input_;
  std::vector<float> left_, right_;
  std::vector<double> inputDouble_, leftDouble_, rightDouble_;
  double energy_ = 0.0;
};

// One short session with a fresh instance, as a host runs it from loading a
// project to closing it: create through the exported entry point, open, set
// rate and block size, switch on, process a few blocks through every
// callback, switch off, close. The cycle number varies rate, block size and
// channel mode. False when the instance could not be created or any output
// was not finite.
bool PlayShortSession(PluginLibrary& library, int cycle);

}  // namespace torvane
