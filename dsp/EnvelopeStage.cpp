#include "dsp/EnvelopeStage.h"

#include <cmath>

namespace torvane {

double EnvelopeStage::TimeCoefficient(double ms) const noexcept {
  const double samples = sampleRate_ * ms / 1000.0;
  // exp(-1 / 0) would be the right 0 too, but only by way of a division by
  // zero, which traps where floating-point exceptions are unmasked. A negative
  // time would give a coefficient above 1 and an envelope that runs away.
  if (!(samples > 0.0)) return 0.0;
  return std::exp(-1.0 / samples);
}

void EnvelopeStage::SetTimes(double attackMs, double releaseMs) noexcept {
  attackCoef_ = TimeCoefficient(attackMs);
  releaseCoef_ = TimeCoefficient(releaseMs);
  attackGain_ = 1.0 - attackCoef_;
  releaseGain_ = 1.0 - releaseCoef_;
}

}  // namespace torvane
