#include "dsp/LookaheadLimiter.h"

#include <gtest/gtest.h>

#include <cmath>

#include "dsp/DelayLine.h"
#include "dsp/DspCommon.h"
#include "dsp/TestSignal.h"

namespace torvane {

namespace {

LookaheadLimiter Limiter(double sampleRate, double process, int transients) {
  LookaheadLimiter l;
  l.Reset(sampleRate);
  l.Setup(process, transients);
  return l;
}

// The time constant, in ms, of the gain reduction long after a burst, when
// only the slowest envelope stage still falls: it falls by the same factor
// every frame, so the reduction (divisor - 1) drops by e per time constant.
double ReleaseTailMs(LookaheadLimiter& l, double sampleRate) {
  const int frames100Ms = static_cast<int>(sampleRate / 10);
  for (int n = 0; n < 5 * frames100Ms; ++n) l.ProcessStereo(0, 0);
  const double early = l.LastDivisor() - 1;
  for (int n = 0; n < frames100Ms; ++n) l.ProcessStereo(0, 0);
  return 100 / std::log(early / (l.LastDivisor() - 1));
}

}  // namespace

TEST(DelayLine, ReturnsTheInputOfLengthStepsEarlier) {
  DelayLine d;
  d.SetLength(64);
  for (int n = 0; n < 200; ++n) EXPECT_EQ(d.Step(n + 1), n < 64 ? 0.0 : n - 63.0);
  // Rewinding keeps the contents: slot 1 was last written at step 196.
  d.SetLength(64);
  EXPECT_EQ(d.Step(-1), 197.0);
}

TEST(DelayLine, LengthIsLimitedToTheStorage) {
  DelayLine d;
  d.SetLength(-3);
  EXPECT_EQ(d.Step(5), 5.0);
  d.SetLength(5000);
  for (int n = 0; n < DelayLine::kCapacity - 1; ++n) EXPECT_EQ(d.Step(7), 0.0);
  EXPECT_EQ(d.Step(8), 7.0);
}

TEST(LookaheadLimiter, ImpulseLeavesSixtyFourFramesLaterThroughTheGainReachedThen) {
  LookaheadLimiter l = Limiter(44100, 0, 0);
  l.ProcessStereo(1, 0);
  for (int n = 1; n < LookaheadLimiter::kLookahead; ++n) {
    l.ProcessStereo(0, 0);
    EXPECT_EQ(l.OutLeft(), 0.0);
  }
  l.ProcessStereo(0, 0);
  EXPECT_GT(l.LastDivisor(), 1.0);
  EXPECT_EQ(l.OutLeft(), 1 / l.LastDivisor());
  EXPECT_EQ(l.OutRight(), 0.0);
}

// "Process" lengthens the release from 10 ms to 120 ms; the two 20 ms
// smoothing stages behind it are then faster, so it alone sets how the gain
// comes back after a full-scale burst.
TEST(LookaheadLimiter, GainRecoversFromABurstWithTheReleaseThatProcessSets) {
  const double fs = 48000;
  for (double process : {0.25, 0.5, 1.0}) {
    LookaheadLimiter l = Limiter(fs, process, 0);
    for (int n = 0; n < fs / 10; ++n) l.ProcessStereo(1, -1);
    EXPECT_NEAR(ReleaseTailMs(l, fs), 10 + 110 * process, 0.01 * (10 + 110 * process)) << process;
  }
}

// The detector smooths at 1000 Hz, with "Transients" at 100 Hz. From rest the
// envelope stages take every rise at once, so the gain shows the detector's
// step response: 1 - 1/e of the step after 1 / (2 pi corner) seconds.
TEST(LookaheadLimiter, TransientsSlowTheDetectorTenfold) {
  const double fs = 192000;
  for (int transients : {0, 1}) {
    LookaheadLimiter l = Limiter(fs, 0, transients);
    int frames = 0;
    for (; l.LastDivisor() < 2 - std::exp(-1.0) && frames < fs; ++frames) l.ProcessMono(1);
    EXPECT_NEAR(frames, fs / (2 * kPi * (transients ? 100 : 1000)), 1) << transients;
  }
}

TEST(LookaheadLimiter, SteadyInputSettlesAtScaledAmplitudeOverOnePlusIt) {
  LookaheadLimiter l = Limiter(44100, 0, 0);
  for (int n = 0; n < 20000; ++n) l.ProcessMono(1.0);
  EXPECT_NEAR(l.OutLeft(), 0.5, 1e-12);

  LookaheadLimiter full = Limiter(44100, 1, 0);
  const double a = 0.5 * 1.68;
  for (int n = 0; n < 20000; ++n) full.ProcessStereo(0.5, -0.5);
  EXPECT_NEAR(full.OutLeft(), a / (1 + a), 1e-12);
  EXPECT_NEAR(full.OutRight(), -a / (1 + a), 1e-12);
}

TEST(LookaheadLimiter, SilenceReturnsTheDivisorToExactlyOne) {
  LookaheadLimiter l = Limiter(44100, 0, 0);
  EXPECT_EQ(l.LastDivisor(), 1.0);
  for (int n = 0; n < 1000; ++n) l.ProcessMono(0.9);
  for (int n = 0; n < 88200; ++n) l.ProcessMono(0);
  EXPECT_EQ(l.LastDivisor(), 1.0);
}

TEST(LookaheadLimiter, MonoFeedsBothOutputsAndPausesTheRightDelay) {
  LookaheadLimiter l = Limiter(44100, 0, 0);
  l.ProcessStereo(0, 1);  // enters the right delay
  for (int n = 0; n < 40; ++n) {
    l.ProcessMono(n == 10 ? 0.25 : 0.0);
    EXPECT_EQ(l.OutRight(), l.OutLeft());
  }
  // 41 frames have passed for the left delay but only 1 for the right one.
  for (int n = 1; n < 64; ++n) {
    l.ProcessStereo(0, 0);
    EXPECT_EQ(l.OutRight(), 0.0) << "frame " << n;
  }
  l.ProcessStereo(0, 0);
  EXPECT_EQ(l.OutRight(), 1 / l.LastDivisor());
}

TEST(LookaheadLimiter, UnusableSampleRateIsIgnored) {
  LookaheadLimiter l = Limiter(44100, 0.5, 0), same = Limiter(44100, 0.5, 0);
  l.Reset(0);
  l.Reset(-48000);
  l.Reset(std::nan(""));
  l.Setup(0.5, 0);
  same.Setup(0.5, 0);
  for (double x : BassSignal(500, 44100, 1)) {
    l.ProcessMono(x);
    same.ProcessMono(x);
    ASSERT_EQ(l.OutLeft(), same.OutLeft());
  }
}

}  // namespace torvane
