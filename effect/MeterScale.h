#pragma once

#include <algorithm>
#include <cmath>

namespace torvane {

// Maps a linear gain to a meter position: 0 at -20 dB or less, 0.5 at 0 dB,
// 1 at +20 dB or more. A value record owned by the effect.
struct MeterScale {
  double minDb = -20.0;
  double maxDb = 20.0;
  double minGain = std::pow(10.0, minDb / 20.0);
  double maxGain = std::pow(10.0, maxDb / 20.0);
  double offsetDb = 20.0;
  double spanDb = 40.0;

  double Position(double gain) const noexcept {
    return (20.0 * std::log10(std::max(std::min(gain, maxGain), minGain)) + offsetDb) / spanDb;
  }
};

}  // namespace torvane
