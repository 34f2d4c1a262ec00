#include "tools/render/PlotRecorder.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace torvane {

double PlotRecorder::Range::Rms() const { return count ? std::sqrt(squares / count) : 0.0; }

void PlotRecorder::Range::Merge(const Range& other) {
  low = std::min(low, other.low);
  high = std::max(high, other.high);
  sum += other.sum;
  squares += other.squares;
  count += other.count;
}

namespace {
// Two samples per operation, in a vector type that GCC and Clang provide: this
// loop sees every sample of the render, in and out, and should cost next to
// nothing beside the plug-in. Two pairs run side by side (named, so that they
// stay in registers), and a pair's sums do not wait for the other's.
using SamplePair = double __attribute__((vector_size(2 * sizeof(double))));

SamplePair LoadPair(const double* samples) {
  SamplePair pair;
  std::memcpy(&pair, samples, sizeof pair);
  return pair;
}
}  // namespace

PlotRecorder::Range PlotRecorder::Measure(const double* samples, size_t count) {
  constexpr double kInfinity = std::numeric_limits<double>::infinity();
  SamplePair lowA = {kInfinity, kInfinity}, lowB = lowA, highA = -lowA, highB = highA;
  SamplePair sumA = {0.0, 0.0}, sumB = sumA, squaresA = sumA, squaresB = sumA;
  size_t i = 0;
  for (; i + 4 <= count; i += 4) {
    // A NaN fails both comparisons; it only spoils the sums, and then the
    // careful count below starts again.
    const SamplePair a = LoadPair(samples + i), b = LoadPair(samples + i + 2);
    lowA = a < lowA ? a : lowA;
    lowB = b < lowB ? b : lowB;
    highA = a > highA ? a : highA;
    highB = b > highB ? b : highB;
    sumA += a;
    sumB += b;
    squaresA += a * a;
    squaresB += b * b;
  }
  Range range;
  for (size_t rest = i; rest < count; ++rest) range.Add(samples[rest]);
  for (int lane = 0; lane < 2; ++lane) {
    range.low = std::min({range.low, lowA[lane], lowB[lane]});
    range.high = std::max({range.high, highA[lane], highB[lane]});
    range.sum += sumA[lane] + sumB[lane];
    range.squares += squaresA[lane] + squaresB[lane];
  }
  range.count += i;
  if (std::isnan(range.sum) || std::isnan(range.squares)) {
    range = Range();
    for (size_t j = 0; j < count; ++j) range.Add(samples[j]);
  }
  return range;
}

PlotRecorder::PlotRecorder(int capacity, int meterCount)
    : capacity_(std::max(2, capacity & ~1)), meterCount_(std::clamp(meterCount, 0, kMaxMeters)) {
  slots_.reserve(static_cast<size_t>(capacity_));
}

PlotRecorder::Slot& PlotRecorder::SlotOf(uint64_t frame) {
  while (frame / framesPerSlot_ >= static_cast<uint64_t>(capacity_)) MergePairs();
  const size_t index = static_cast<size_t>(frame / framesPerSlot_);
  if (index >= slots_.size()) slots_.resize(index + 1);
  return slots_[index];
}

template <class Select>
void PlotRecorder::AddSamples(uint64_t position, const double* interleaved, size_t frames, int channels,
                              Select select) {
  while (frames > 0) {
    Range& range = select(SlotOf(position));
    const size_t inSlot =
        static_cast<size_t>(std::min<uint64_t>(frames, framesPerSlot_ - position % framesPerSlot_));
    const size_t count = inSlot * static_cast<size_t>(channels);
    range.Merge(Measure(interleaved, count));
    interleaved += count;
    position += inSlot;
    frames -= inSlot;
  }
}

void PlotRecorder::Add(const RenderedBlock& block, const double* meters) {
  const uint64_t start = inputFrames_;
  AddSamples(start, block.input, block.inputFrames, block.inputChannels,
             [](Slot& slot) -> Range& { return slot.input; });
  inputFrames_ += block.inputFrames;
  if (meters && meterCount_ > 0) {
    // The delay's flush after the end belongs to the last frame read.
    const uint64_t first = block.inputFrames > 0 || start == 0 ? start : start - 1;
    const uint64_t last = block.inputFrames > 0 ? inputFrames_ - 1 : first;
    SlotOf(last);  // merges first, so both ends count in the same slot length
    for (uint64_t s = first / framesPerSlot_; s <= last / framesPerSlot_; ++s) {
      for (int k = 0; k < meterCount_; ++k) slots_[s].meters[k].Add(meters[k]);
    }
  }
  AddSamples(outputFrames_, block.output, block.outputFrames, block.outputChannels,
             [](Slot& slot) -> Range& { return slot.output; });
  outputFrames_ += block.outputFrames;
}

void PlotRecorder::MergePairs() {
  const size_t half = (slots_.size() + 1) / 2;
  for (size_t i = 0; i < half; ++i) {
    Slot merged = slots_[2 * i];
    if (2 * i + 1 < slots_.size()) {
      const Slot& next = slots_[2 * i + 1];
      merged.input.Merge(next.input);
      merged.output.Merge(next.output);
      for (int k = 0; k < meterCount_; ++k) merged.meters[k].Merge(next.meters[k]);
    }
    slots_[i] = merged;
  }
  slots_.resize(half);
  framesPerSlot_ *= 2;
}

}  // namespace torvane
