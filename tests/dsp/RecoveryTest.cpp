// A state that ran away (infinite or NaN) is detected and cleared: the
// processor then sounds exactly as a new one with the same settings.
#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "dsp/ChannelProcessor.h"
#include "dsp/LookaheadLimiter.h"
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
}  // namespace

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
