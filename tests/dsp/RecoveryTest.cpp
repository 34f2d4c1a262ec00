// A state that ran away (infinite or NaN) is detected and cleared: the
// processor then sounds exactly as a new one with the same settings.
#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "dsp/ChannelProcessor.h"
#include "dsp/LookaheadLimiter.h"
#include "dsp/StereoChain.h"
#include "dsp/TestSignal.h"

namespace torvane {

namespace {
constexpr double kNan = std::numeric_limits<double>::quiet_NaN();

ChannelProcessor Configured() {
  ChannelProcessor p;
  p.Reset(48000.0);
  p.SetupBands(0.6, 1);
  for (int b = 0; b < ChannelProcessor::kBands; ++b) p.SetTone(b, b - 3.0);  // the fullness cut in the path too
  p.SetLfCut(40.0);
  p.SetDirt(0.3);
  return p;
}

LookaheadLimiter ConfiguredLimiter() {
  LookaheadLimiter limiter;
  limiter.Reset(48000.0);
  limiter.Setup(0.6, 1);
  return limiter;
}

// The chain's mends frame by frame, as the kernels must give them: a channel
// output beyond audio restarts the channel, a limiter output beyond audio
// restarts the limiter, each sample silent; runaway state left over is
// cleared after the block.
struct FrameLoop {
  ChannelProcessor left = Configured(), right = Configured();
  LookaheadLimiter limiter = ConfiguredLimiter();

  static double Mended(double y, ChannelProcessor& channel) {
    if (StereoChain::IsAudio(y)) return y;
    channel.ClearState();
    return 0.0;
  }
  double Limited(double y) {
    if (StereoChain::IsAudio(y)) return y;
    limiter.ClearState();
    return 0.0;
  }
  void Block(const double* inLeft, const double* inRight, double* outLeft, double* outRight, int frames,
             double factor, bool stereo) {
    for (int i = 0; i < frames; ++i) {
      const double l = Mended(left.ProcessSample(inLeft[i]), left);
      if (stereo) {
        const double r = Mended(right.ProcessSample(inRight[i]), right);
        limiter.ProcessStereo(l, r);
        outLeft[i] = Limited(limiter.OutLeft() * factor);
        outRight[i] = Limited(limiter.OutRight() * factor);
      } else {
        limiter.ProcessMono(l);
        outLeft[i] = outRight[i] = Limited(limiter.OutLeft() * factor);
      }
    }
    for (ChannelProcessor* channel : {&left, &right}) {
      if (!channel->HasFiniteState()) channel->ClearState();
    }
    if (!limiter.HasFiniteState()) limiter.ClearState();
  }
};
}  // namespace

// Blocks of uneven sizes through every kernel this CPU runs, against the
// frame loop: an output factor that puts the loudest limiter outputs beyond
// audio (the limiter alone restarts, mid-run), then a burst that overflows the
// left channel, each starting inside a run of frames that the kernels would
// otherwise finish in passes.
TEST(Recovery, EveryKernelMendsWhereTheFrameLoopDoes) {
  std::vector<double> left = BassSignal(6000, 48000, 0.7), right = BassSignal(6000, 48000, 0.4);
  for (int i = 4100; i < 4300; ++i) left[i] = 1.7e308 * (i % 2 ? 1 : -1);
  for (SimdPath path : kSimdPaths) {
    if (!IsSimdPathSupported(path)) continue;
    for (bool stereo : {true, false}) {
      StereoChain chain;
      ASSERT_TRUE(chain.UsePath(path));
      chain.Left() = Configured();
      chain.Right() = Configured();
      chain.Limiter() = ConfiguredLimiter();
      FrameLoop reference;
      std::vector<double> outLeft(left.size()), outRight(left.size()), expectLeft(left.size()),
          expectRight(left.size());
      size_t start = 0;
      int limiterMends = 0, channelMends = 0;
      for (int frames : {300, 1000, 77, 1500, 523, 2600}) {
        const double factor = start < 3000 ? 2.5e12 : 1.0;
        const double* inputs[] = {left.data() + start, right.data() + start};
        double* outputs[] = {outLeft.data() + start, outRight.data() + start};
        chain.ProcessBlock({inputs, outputs, frames, 1.0, factor, stereo});
        reference.Block(inputs[0], inputs[1], expectLeft.data() + start, expectRight.data() + start, frames, factor,
                        stereo);
        start += frames;
      }
      ASSERT_EQ(start, left.size());
      for (size_t i = 0; i < left.size(); ++i) {
        ASSERT_EQ(outLeft[i], expectLeft[i]) << SimdPathName(path) << (stereo ? " stereo " : " mono ") << i;
        ASSERT_EQ(outRight[i], expectRight[i]) << SimdPathName(path) << (stereo ? " stereo " : " mono ") << i;
        const bool silenced = expectLeft[i] == 0.0 && left[i] != 0.0;
        (i < 3000 ? limiterMends : channelMends) += silenced;
      }
      EXPECT_GT(limiterMends, 0);
      EXPECT_GT(channelMends, 0);
    }
  }
}

TEST(Recovery, ClearedChannelSoundsLikeANewOne) {
  const std::vector<double> x = BassSignal(4000, 48000, 0.7);
  ChannelProcessor poisoned = Configured(), fresh = Configured();
  EXPECT_TRUE(poisoned.HasFiniteState());
  for (double v : x) poisoned.ProcessSample(v);
  poisoned.ProcessSample(kNan);
  EXPECT_FALSE(poisoned.HasFiniteState());
  poisoned.ClearState();
  EXPECT_TRUE(poisoned.HasFiniteState());
  for (size_t n = 0; n < x.size(); ++n) ASSERT_EQ(poisoned.ProcessSample(x[n]), fresh.ProcessSample(x[n])) << n;
}

TEST(Recovery, ClearedLimiterSoundsLikeANewOne) {
  const std::vector<double> x = BassSignal(2000, 48000, 0.9);
  LookaheadLimiter poisoned = ConfiguredLimiter(), fresh = ConfiguredLimiter();
  for (double v : x) poisoned.ProcessStereo(v, -v);
  poisoned.ProcessStereo(kNan, 0.0);
  EXPECT_FALSE(poisoned.HasFiniteState());
  poisoned.ClearState();
  EXPECT_TRUE(poisoned.HasFiniteState());
  for (size_t n = 0; n < x.size(); ++n) {
    poisoned.ProcessStereo(x[n], 0.5 * x[n]);
    fresh.ProcessStereo(x[n], 0.5 * x[n]);
    ASSERT_EQ(poisoned.OutLeft(), fresh.OutLeft()) << n;
    ASSERT_EQ(poisoned.OutRight(), fresh.OutRight()) << n;
    ASSERT_EQ(poisoned.LastDivisor(), fresh.LastDivisor()) << n;
  }
}

}  // namespace torvane
