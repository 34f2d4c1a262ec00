#pragma once

#include <algorithm>

#include "dsp/DspCommon.h"

namespace torvane {

// One attack/release envelope follower: the building block of the limiter's
// gain envelope and the dirt gate, and the designer of the band lanes' stages.
// A plain value owned by those objects; designed from the reset or parameter
// path and stepped on the audio thread, both under the plug-in lock.
class EnvelopeStage {
 public:
  void SetSampleRate(double hz) noexcept { sampleRate_ = hz; }

  // Times in ms at the stored rate. A time of 0 (or less) makes that part
  // instantaneous: its coefficient is exactly 0.
  void SetTimes(double attackMs, double releaseMs) noexcept;

  // Rises with the attack, falls with the release; returns the new state.
  // Both candidates are computed and one kept, as the vector lanes of the band
  // envelopes do.
  double Follow(double u) noexcept {
    const double rise = state_ * attackCoef_ + u * attackGain_;
    const double fall = state_ * releaseCoef_ + u * releaseGain_;
    state_ = u > state_ ? rise : fall;
    return state_;
  }

  // Peak hold for measurements taken now and then: rises at once, and each call
  // lets the state fall by the release coefficient. Returns the new state.
  double HoldPeak(double u) noexcept {
    state_ = std::max(u, releaseCoef_ * state_);
    return state_;
  }

  // Back to silence; the design stays.
  void ClearState() noexcept { state_ = 0.0; }
  bool HasFiniteState() const noexcept { return AllFinite(state_); }

  double AttackCoef() const noexcept { return attackCoef_; }
  double ReleaseCoef() const noexcept { return releaseCoef_; }
  double AttackGain() const noexcept { return attackGain_; }
  double ReleaseGain() const noexcept { return releaseGain_; }

 private:
  double TimeCoefficient(double ms) const noexcept;

  double sampleRate_ = kDefaultSampleRate;
  double attackCoef_ = 0.0;
  double releaseCoef_ = 0.0;
  double attackGain_ = 0.0;
  double releaseGain_ = 0.0;
  double state_ = 0.0;
};

}  // namespace torvane
