#pragma once

#include "dsp/DspCommon.h"

namespace torvane {

// A one-pole low-pass: the limiter's detector smoother and, with its output
// subtracted from the input, a channel's first-order LF cut. A plain value owned
// by that processor; set up from the parameter path and run on the audio
// thread, both under the plug-in lock.
class OnePoleSmoother {
 public:
  void SetSampleRate(double hz) noexcept { sampleRate_ = hz; }

  // Designs the corner at the rate stored now; the state is kept.
  void SetCorner(double hz) noexcept;
  void Clear() noexcept { state_ = 0.0; }
  bool HasFiniteState() const noexcept { return AllFinite(state_); }

  // Returns the low-passed value, which is also the new state.
  double Process(double u) noexcept {
    state_ = (u - state_) * coefficient_ + state_;
    return state_;
  }

  double Coefficient() const noexcept { return coefficient_; }
  double State() const noexcept { return state_; }

 private:
  double sampleRate_ = kDefaultSampleRate;
  double coefficient_ = 0.0;
  double state_ = 0.0;
};

}  // namespace torvane
