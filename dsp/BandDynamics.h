#pragma once

#include <cmath>

#include "dsp/EnvelopeStage.h"

// The leveling stage of one band: gain 1 / (envelope + offset), so quiet
// material is lifted by up to 1 / offset and loud material pulled down as the
// envelope grows. Owned by a ChannelProcessor; configured from the parameter
// and reset paths and run on the audio thread, all under the plug-in lock.
class BandDynamics {
 public:
  // Stores the rate in all three stages and designs the two smoothing stages,
  // which rise at once and only smooth the falls. The first stage, which
  // carries the band's own attack and release, keeps its times until the next
  // SetTimes.
  void Reset(double sampleRate) noexcept;
  void SetTimes(double attackMs, double releaseMs) noexcept;
  void SetDrive(double drive) noexcept { drive_ = drive; }
  void SetOffset(double offset) noexcept { offset_ = offset; }

  double ProcessSample(double x) noexcept {
    double level = std::fabs(x) * drive_;
    level = stage1_.PreDecay(level);
    const double s1 = stage1_.Follow(level);
    const double s2 = stage2_.Follow(s1);
    const double s3 = stage3_.Follow(s2);
    lastDivisor_ = s3 + offset_;
    return x / lastDivisor_;
  }

  // The band's meter shows 1 / LastDivisor().
  double LastDivisor() const noexcept { return lastDivisor_; }

 private:
  double lastDivisor_ = 1.0;
  EnvelopeStage stage1_;
  EnvelopeStage stage2_;
  EnvelopeStage stage3_;
  double drive_ = 1.0;
  double offset_ = 1.0;
};
