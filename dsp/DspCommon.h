#pragma once

#include <cmath>

namespace torvane {

// Constants and checks shared by the DSP objects of the effect.

// The value every design multiplies with; written out so that every build uses
// the same double whatever its math headers define.
constexpr double kPi = 3.141592653589793;

// Every DSP object runs at this rate until its owner resets it.
constexpr double kDefaultSampleRate = 44100.0;

// The two smoothing envelope stages behind a band's or the limiter's gain stage
// rise at once and hold falls back by this much.
constexpr double kSmoothingReleaseMs = 20.0;

// "Process" (normalised to 0..1) lengthens the release of both the band gain
// stages and the limiter's from 10 ms to 120 ms: harder leveling recovers slower.
inline double BandAndLimiterReleaseMs(double process) noexcept {
  return process * 110.0 + 10.0;
}

// True when every value is finite: 0 x v is 0 for a finite v and NaN for an
// infinite or NaN one, and one NaN makes the whole sum NaN. Branch-free, so a
// state can be checked once per block for next to nothing.
template <typename... Values>
inline bool AllFinite(Values... values) noexcept {
  return ((0.0 * values) + ... + 0.0) == 0.0;
}

// A host may report a rate of 0 (or garbage) before it has settled on one.
// Designing with it would put NaN into filter histories that no reset ever
// clears, so the owners ignore such a rate and keep the one they have.
inline bool IsUsableSampleRate(double hz) noexcept {
  return hz > 0.0 && std::isfinite(hz);
}

}  // namespace torvane
