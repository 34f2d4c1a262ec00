#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace torvane {

// Peak and RMS of each channel of a stream of interleaved frames, fed block
// by block by the renderer. Samples that are not finite numbers are counted
// and never hidden: an infinite sample makes the peak and RMS infinite, and
// NaN samples, which have no level, are left out of both and counted apart.
class LevelMeter {
 public:
  explicit LevelMeter(int channels) : channels_(channels > 0 ? channels : 0) {}

  void Add(const double* interleaved, size_t frames);

  int Channels() const { return static_cast<int>(channels_.size()); }
  double Peak(int channel) const { return channels_[channel].peak; }
  double Rms(int channel) const;
  uint64_t NanSamples(int channel) const { return channels_[channel].nan; }
  uint64_t InfiniteSamples(int channel) const { return channels_[channel].infinite; }

 private:
  struct Channel {
    double peak = 0.0;
    double sumOfSquares = 0.0;
    uint64_t counted = 0;  // samples in the sum, NaN excluded
    uint64_t nan = 0;
    uint64_t infinite = 0;
  };
  std::vector<Channel> channels_;
};

}  // namespace torvane
