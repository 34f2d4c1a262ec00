#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "tools/render/RenderedBlock.h"

namespace torvane {

// What a render's plot needs, recorded while it streams: the lowest and
// highest input and output sample and meter position of every stretch of
// time. Memory is fixed whatever the length, known or not: stretches start
// one frame long, and once every slot is taken neighbouring slots merge in
// pairs and each covers twice as many frames from then on, so no sample and
// no block is ever dropped. Owned by RenderPlot and fed on the main thread.
class PlotRecorder {
 public:
  static constexpr int kMaxMeters = 8;

  // The smallest and largest value seen, and the sums for their mean and
  // root mean square; empty while nothing was added.
  struct Range {
    double low = std::numeric_limits<double>::infinity();
    double high = -std::numeric_limits<double>::infinity();
    double sum = 0.0, squares = 0.0;
    uint64_t count = 0;

    bool Empty() const { return count == 0; }
    double Mean() const { return count ? sum / count : 0.0; }
    double Rms() const;
    void Add(double value) {
      if (std::isnan(value)) return;  // NaN has no level: left out
      low = value < low ? value : low;
      high = value > high ? value : high;
      sum += value;
      squares += value * value;
      ++count;
    }
    void Merge(const Range& other);
  };

  // FramesPerSlot() frames of the input's (and the output's) time line. The
  // waveforms count every sample of every channel, a meter once for every
  // block that reaches into the slot.
  struct Slot {
    Range input, output;
    Range meters[kMaxMeters];
  };

  // capacity: slots kept at most (an even number, at least 2); meterCount:
  // meter positions given with each block, 0 to kMaxMeters.
  PlotRecorder(int capacity, int meterCount);

  // One processing call, its input and output frames following the ones
  // before. The meters (MeterCount() positions, or null) as they stand after
  // the call hold for the whole time its input covers; a call that read no
  // input only flushes the plug-in's delay and belongs to the last one read.
  void Add(const RenderedBlock& block, const double* meters);

  int MeterCount() const { return meterCount_; }
  int Count() const { return static_cast<int>(slots_.size()); }
  const Slot& At(int index) const { return slots_[index]; }
  uint64_t FramesPerSlot() const { return framesPerSlot_; }

 private:
  // The slot of a frame, merging until it fits.
  Slot& SlotOf(uint64_t frame);
  // Adds frames of interleaved samples from `position` on to the ranges
  // that `select` picks from each slot they fall in.
  template <class Select>
  void AddSamples(uint64_t position, const double* interleaved, size_t frames, int channels, Select select);
  void MergePairs();
  // The extremes and sums of `count` samples, NaN left out.
  static Range Measure(const double* samples, size_t count);

  int capacity_;
  int meterCount_;
  std::vector<Slot> slots_;
  uint64_t framesPerSlot_ = 1;
  uint64_t inputFrames_ = 0, outputFrames_ = 0;
};

}  // namespace torvane
