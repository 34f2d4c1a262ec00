#include "tools/render/LevelMeter.h"

#include <algorithm>
#include <cmath>

namespace torvane {

void LevelMeter::Add(const double* interleaved, size_t frames) {
  const size_t count = channels_.size();
  for (size_t f = 0; f < frames; ++f) {
    for (size_t c = 0; c < count; ++c) {
      const double sample = interleaved[f * count + c];
      Channel& channel = channels_[c];
      if (std::isnan(sample)) {
        ++channel.nan;
        continue;
      }
      const double magnitude = std::fabs(sample);
      channel.infinite += std::isinf(magnitude);
      channel.peak = std::max(channel.peak, magnitude);
      channel.sumOfSquares += sample * sample;
      ++channel.counted;
    }
  }
}

double LevelMeter::Rms(int channel) const {
  const Channel& c = channels_[channel];
  return c.counted ? std::sqrt(c.sumOfSquares / static_cast<double>(c.counted)) : 0.0;
}

}  // namespace torvane
