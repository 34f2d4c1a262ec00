#pragma once

#include <algorithm>
#include <cmath>

#include "dsp/EnvelopeStage.h"

namespace torvane {

// The level gate in front of the dirt shaper: material at 0.01 (-40 dBFS) and
// above passes unchanged, quieter material is scaled down in proportion to its
// level, so that the shaper's rising drive does not turn noise into fuzz. Owned
// by a ChannelProcessor; reset and run under the plug-in lock.
class DirtGate {
 public:
  void Reset(double sampleRate) noexcept;

  double ProcessSample(double x) noexcept {
    const int n = counter_;
    counter_ = n + 1;
    if (n >= kMeasureInterval) {
      const double level = std::min(std::fabs(x), kOpenLevel) / kOpenLevel;
      gain_ = stageA_.HoldPeak(level);
      gain_ = stageB_.HoldPeak(gain_);
      counter_ = 1;
    }
    return x * gain_;
  }
  // ProcessSample over a run, with the gate's state in locals.
  void ProcessRun(const double* in, double* out, int frames) noexcept {
    DirtGate gate = *this;
    for (int i = 0; i < frames; ++i) out[i] = gate.ProcessSample(in[i]);
    *this = gate;
  }

  double Gain() const noexcept { return gain_; }
  // Back to the state of a new gate (closed until its first measurement).
  bool HasFiniteState() const noexcept {
    return stageA_.HasFiniteState() && stageB_.HasFiniteState() && AllFinite(gain_);
  }
  void ClearState() noexcept {
    stageA_.ClearState();
    stageB_.ClearState();
    gain_ = 0.0;
    counter_ = 1;
  }

 private:
  // The gain is measured from one sample in ten and held in between, which
  // keeps the gate cheap; its release times act over ten-sample steps.
  static constexpr int kMeasureInterval = 10;
  static constexpr double kOpenLevel = 0.01;

  EnvelopeStage stageA_;
  EnvelopeStage stageB_;
  // Closed until the first measurement.
  double gain_ = 0.0;
  int counter_ = 1;
};

}  // namespace torvane
