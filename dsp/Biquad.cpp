#include "dsp/Biquad.h"

#include <algorithm>
#include <cmath>

namespace torvane {

namespace {
// Beyond these a design degenerates (a Q of 0 divides by zero, a corner above
// half the rate folds back), so every design clamps into them.
constexpr double kMinQ = 0.1;
constexpr double kMaxQ = 10.0;
constexpr double kMinHz = 0.1;
}  // namespace

Biquad::Angle Biquad::DesignAngle(double hz, double q) const noexcept {
  const double clampedQ = std::min(std::max(q, kMinQ), kMaxQ);
  const double clampedHz = std::min(std::max(hz, kMinHz), sampleRate_ * 0.5);
  const double w0 = (kPi + kPi) * clampedHz / sampleRate_;
  const double sinW0 = std::sin(w0);
  return {sinW0 / (clampedQ + clampedQ), std::cos(w0)};
}

void Biquad::DesignLowpass(double hz, double q) noexcept {
  const Angle d = DesignAngle(hz, q);
  const double a0 = 1.0 + d.alpha;
  c_.b0 = (1.0 - d.cosW0) * 0.5 / a0;
  c_.b1 = (1.0 - d.cosW0) / a0;
  c_.b2 = c_.b0;
  c_.a1 = -2.0 * d.cosW0 / a0;
  c_.a2 = (1.0 - d.alpha) / a0;
}

void Biquad::DesignHighpass(double hz, double q) noexcept {
  const Angle d = DesignAngle(hz, q);
  const double a0 = 1.0 + d.alpha;
  c_.b0 = (1.0 + d.cosW0) * 0.5 / a0;
  c_.b1 = -(1.0 + d.cosW0) / a0;
  c_.b2 = c_.b0;
  c_.a1 = -2.0 * d.cosW0 / a0;
  c_.a2 = (1.0 - d.alpha) / a0;
}

void Biquad::DesignBandpass(double hz, double q) noexcept {
  const Angle d = DesignAngle(hz, q);
  const double a0 = 1.0 + d.alpha;
  c_.b0 = d.alpha / a0;
  c_.b1 = 0.0;
  c_.b2 = -(d.alpha / a0);
  c_.a1 = -2.0 * d.cosW0 / a0;
  c_.a2 = (1.0 - d.alpha) / a0;
}

void Biquad::DesignAllpass(double hz, double q) noexcept {
  const Angle d = DesignAngle(hz, q);
  const double a0 = 1.0 + d.alpha;
  c_.b0 = (1.0 - d.alpha) / a0;
  c_.b1 = -2.0 * d.cosW0 / a0;
  c_.b2 = a0 / a0;
  c_.a1 = -2.0 * d.cosW0 / a0;
  c_.a2 = (1.0 - d.alpha) / a0;
}

void Biquad::DesignPeaking(double hz, double q, double gainDb) noexcept {
  const double a = std::pow(10.0, gainDb / 40.0);
  const Angle d = DesignAngle(hz, q);
  const double a0 = 1.0 + d.alpha / a;
  c_.b0 = (1.0 + d.alpha * a) / a0;
  c_.b1 = -2.0 * d.cosW0 / a0;
  c_.b2 = (1.0 - d.alpha * a) / a0;
  c_.a1 = -2.0 * d.cosW0 / a0;
  c_.a2 = (1.0 - d.alpha / a) / a0;
}

}  // namespace torvane
