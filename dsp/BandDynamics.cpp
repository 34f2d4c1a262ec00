#include "dsp/BandDynamics.h"

#include "dsp/DspCommon.h"

void BandDynamics::Reset(double sampleRate) noexcept {
  stage1_.SetSampleRate(sampleRate);
  stage2_.SetSampleRate(sampleRate);
  stage3_.SetSampleRate(sampleRate);
  stage2_.SetTimes(0.0, kSmoothingReleaseMs, 0.0);
  stage3_.SetTimes(0.0, kSmoothingReleaseMs, 0.0);
}

void BandDynamics::SetTimes(double attackMs, double releaseMs) noexcept {
  stage1_.SetTimes(attackMs, releaseMs, 0.0);
}
