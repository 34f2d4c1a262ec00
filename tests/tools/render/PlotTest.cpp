// The plot's recording, in-process.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "tools/render/PlotRecorder.h"

namespace torvane {

namespace {
constexpr int kLatency = 64;

// A render of `frames` frames in blocks of `block`, stereo in and out, where
// every sample is its own frame number (the output's counted from its own
// start, -1 and -2 on the right channels) and block b's meters are b and
// 100 + b. The delay is cut from the output's start and flushed at the end,
// as the renderer does; a flush that reads nothing has the meters 1000, 1100.
void Feed(PlotRecorder& recorder, int frames, int block) {
  std::vector<double> input, output;
  int written = 0, blocks = 0;
  for (int start = 0; start <= frames; start += block) {
    const int read = std::min(block, frames - start);
    const bool flush = read < block;
    if (read == 0 && !flush) break;
    input.clear();
    output.clear();
    for (int f = start; f < start + read; ++f) input.insert(input.end(), {double(f), double(f) - 1.0});
    const int outputEnd = flush ? frames : std::max(0, start + read - kLatency);
    for (; written < outputEnd; ++written) output.insert(output.end(), {double(written), double(written) - 2.0});
    const double number = read > 0 ? blocks : 1000.0;
    const double meters[2] = {number, 100.0 + number};
    RenderedBlock processed{input.data(), static_cast<size_t>(read), 2, output.data(), output.size() / 2, 2};
    recorder.Add(processed, meters);
    if (read > 0) ++blocks;
    if (flush) break;
  }
}
}  // namespace

// Merging in pairs keeps every sample: each slot's extremes are exactly those
// of the frames it covers, for a length that fills the capacity many times
// over, and the meters of every block that touches a slot count in it.
TEST(PlotRecorder, SlotsHoldTheExtremesOfEveryFrameTheyCoverWhateverTheLength) {
  struct Case {
    int frames, block, capacity;
  };
  for (const Case c : {Case{100000, 512, 64}, Case{1000, 300, 16}, Case{4096, 512, 8}, Case{10, 512, 8}}) {
    PlotRecorder recorder(c.capacity, 2);
    Feed(recorder, c.frames, c.block);
    const uint64_t length = recorder.FramesPerSlot();
    EXPECT_EQ(length & (length - 1), 0u) << "a power of two";
    EXPECT_LE(recorder.Count(), c.capacity);
    EXPECT_GT(recorder.Count(), c.frames > c.capacity ? c.capacity / 2 : c.frames - 1);
    ASSERT_EQ(static_cast<uint64_t>(recorder.Count()), (c.frames + length - 1) / length) << c.frames;
    for (int k = 0; k < recorder.Count(); ++k) {
      const PlotRecorder::Slot& slot = recorder.At(k);
      const double first = double(k * length), last = std::min(double((k + 1) * length), double(c.frames)) - 1;
      EXPECT_EQ(slot.input.low, first - 1.0) << k;
      EXPECT_EQ(slot.input.high, last) << k;
      EXPECT_EQ(slot.output.low, first - 2.0) << k;
      EXPECT_EQ(slot.output.high, last) << k;
      const double firstBlock = std::floor(first / c.block);
      // A flush of its own counts with the last frames read.
      const bool flushAfter = k == recorder.Count() - 1 && c.frames % c.block == 0;
      const double lastBlock = flushAfter ? 1000.0 : std::floor(last / c.block);
      EXPECT_EQ(slot.meters[0].low, firstBlock) << k;
      EXPECT_EQ(slot.meters[0].high, lastBlock) << k;
      EXPECT_EQ(slot.meters[1].high, 100.0 + lastBlock) << k;
    }
  }
}

TEST(PlotRecorder, NanSamplesAreLeftOut) {
  PlotRecorder recorder(8, 0);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double input[] = {nan, 0.5, nan, -0.25};
  recorder.Add({input, 4, 1, input, 2, 1}, nullptr);
  ASSERT_EQ(recorder.Count(), 4);
  EXPECT_TRUE(recorder.At(0).input.Empty());
  EXPECT_EQ(recorder.At(1).input.low, 0.5f);
  EXPECT_EQ(recorder.At(3).input.high, -0.25f);
  EXPECT_TRUE(recorder.At(0).output.Empty());
  EXPECT_EQ(recorder.At(1).output.high, 0.5f);
  EXPECT_TRUE(recorder.At(3).output.Empty());
  EXPECT_TRUE(recorder.At(1).meters[0].Empty());

  // Long stretches, measured several samples at a time, leave them out too.
  PlotRecorder longer(2, 0);
  std::vector<double> ramp(64);
  for (int i = 0; i < 64; ++i) ramp[i] = i == 10 || i == 45 ? nan : (i - 32) / 64.0;
  longer.Add({ramp.data(), 64, 1, ramp.data(), 64, 1}, nullptr);
  ASSERT_EQ(longer.Count(), 2);
  const PlotRecorder::Range& first = longer.At(0).input;
  EXPECT_EQ(first.low, -0.5);
  EXPECT_EQ(first.high, -1.0 / 64);
  EXPECT_EQ(first.count, 31u);
  double squares = 0.0;
  for (int i = 0; i < 32; ++i) squares += i == 10 ? 0.0 : (i - 32) * (i - 32) / 4096.0;
  EXPECT_DOUBLE_EQ(first.Rms(), std::sqrt(squares / 31));
  EXPECT_EQ(longer.At(1).output.high, 31.0 / 64);
  EXPECT_EQ(longer.At(1).output.count, 31u);
}

}  // namespace torvane
