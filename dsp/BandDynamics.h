#pragma once

#include <cmath>

#include "dsp/GainEnvelope.h"

namespace torvane {

// The leveling stage of one band: gain 1 / (envelope + offset), so quiet
// material is lifted by up to 1 / offset and loud material pulled down as the
// envelope grows. Owned by a ChannelProcessor; configured from the parameter
// and reset paths and run on the audio thread, all under the plug-in lock.
class BandDynamics {
 public:
  // Stores the rate and designs the envelope's smoothing stages; the band's own
  // attack and release keep their design until the next SetTimes.
  void Reset(double sampleRate) noexcept { envelope_.Reset(sampleRate); }
  void SetTimes(double attackMs, double releaseMs) noexcept { envelope_.SetTimes(attackMs, releaseMs); }
  void SetDrive(double drive) noexcept { drive_ = drive; }
  void SetOffset(double offset) noexcept { offset_ = offset; }

  double ProcessSample(double x) noexcept {
    const double level = envelope_.PreDecay(std::fabs(x) * drive_);
    lastDivisor_ = envelope_.Follow(level) + offset_;
    return x / lastDivisor_;
  }

  // Back to the state of a new stage; the design stays.
  bool HasFiniteState() const noexcept { return envelope_.HasFiniteState() && AllFinite(lastDivisor_); }
  void ClearState() noexcept {
    envelope_.ClearState();
    lastDivisor_ = 1.0;
  }

  // The band's meter shows 1 / LastDivisor().
  double LastDivisor() const noexcept { return lastDivisor_; }

 private:
  double lastDivisor_ = 1.0;
  GainEnvelope envelope_;
  double drive_ = 1.0;
  double offset_ = 1.0;
};

}  // namespace torvane
