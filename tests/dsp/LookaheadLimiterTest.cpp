#include "dsp/LookaheadLimiter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "dsp/DelayLine.h"
#include "dsp/TestSignal.h"

namespace torvane {

namespace {

LookaheadLimiter Limiter(double sampleRate, double process, int transients) {
  LookaheadLimiter l;
  l.Reset(sampleRate);
  l.Setup(process, transients);
  return l;
}

// The limiter's arithmetic written out plainly: detector, three envelopes
// (instant attack), divisor and the 64-frame delay.
struct ReferenceLimiter {
  double fs, scale = 1, c = 0, r1 = 0, d = 0, e1 = 0, e2 = 0, e3 = 0;
  std::vector<double> left, right;

  explicit ReferenceLimiter(double sampleRate) : fs(sampleRate) {}
  void Setup(double p, int t) {
    const double pi = 3.141592653589793;
    scale = p * 0.6799999999999999 + 1;
    r1 = std::exp(-1 / (fs * (p * 110 + 10) / 1000));
    c = 1 - std::exp(pi * -2 * (1000 - t * 900.0) / fs);
    d = 0;
  }
  double Release(double s, double u, double r) { return u > s ? u : s * r + u * (1 - r); }
  // Returns the divisor; the outputs are then Delayed(left) / divisor.
  double Step(double l, double r) {
    const double r2 = std::exp(-1 / (fs * 20 / 1000));
    left.push_back(l * scale);
    right.push_back(r * scale);
    d = (std::max(std::fabs(r * scale), std::fabs(l * scale)) - d) * c + d;
    e1 = Release(e1, d, r1);
    e2 = Release(e2, e1, r2);
    e3 = Release(e3, e2, r2);
    return e3 + 1;
  }
  static double Delayed(const std::vector<double>& v) {
    const size_t n = v.size();
    return n > 64 ? v[n - 65] : 0.0;
  }
};

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

TEST(LookaheadLimiter, MatchesAPlainEvaluationThroughSetupChanges) {
  const double fs = 48000;
  LookaheadLimiter l = Limiter(fs, 0.4, 0);
  ReferenceLimiter ref(fs);
  ref.Setup(0.4, 0);
  const std::vector<double> x = BassSignal(3000, fs, 0.8);
  for (int n = 0; n < 3000; ++n) {
    if (n == 1000 || n == 2000) {  // Transients on, then a new Process: both clear the detector
      l.Setup(n == 1000 ? 0.4 : 1.0, 1);
      ref.Setup(n == 1000 ? 0.4 : 1.0, 1);
    }
    const double right = -0.5 * x[(n + 300) % 3000];
    l.ProcessStereo(x[n], right);
    const double divisor = ref.Step(x[n], right);
    ASSERT_EQ(l.LastDivisor(), divisor) << "frame " << n;
    ASSERT_EQ(l.OutLeft(), ReferenceLimiter::Delayed(ref.left) / divisor) << "frame " << n;
    ASSERT_EQ(l.OutRight(), ReferenceLimiter::Delayed(ref.right) / divisor) << "frame " << n;
  }
}

// Runs of uneven lengths, stereo and mono in turn, against a twin limiter
// stepped frame by frame: the delays' held samples carry over from run to run
// (also when a run is longer than the delay), mono pauses the right delay as
// its frame step does, and a run with an output beyond the bound is refused
// with the state untouched, so that the next run carries on as if it had not
// been tried.
TEST(LookaheadLimiter, RunsGiveTheFrameStepsOutputsAndARefusedRunChangesNothing) {
  const double fs = 48000, factor = 1.25;
  LookaheadLimiter runs = Limiter(fs, 0.4, 0), frames = Limiter(fs, 0.4, 0);
  const std::vector<double> x = BassSignal(3000, fs, 0.8);
  size_t start = 0;
  int index = 0;
  for (int count : {1, 64, 65, 128, 7, 100, 128, 3, 128, 90}) {
    const bool stereo = index++ % 3 != 2;
    std::vector<double> left(x.begin() + start, x.begin() + start + count), right(count);
    for (int i = 0; i < count; ++i) right[i] = -0.5 * x[(start + i + 300) % 3000];
    if (index == 4) {
      // A bound below the music: the run is refused and leaves everything as it was.
      std::vector<double> triedLeft = left, triedRight = right;
      ASSERT_FALSE(runs.ProcessStereoRun(triedLeft.data(), triedRight.data(), count, factor, 1e-3));
    }
    const std::vector<double> inLeft = left, inRight = right;
    ASSERT_TRUE(stereo ? runs.ProcessStereoRun(left.data(), right.data(), count, factor, 1e12)
                       : runs.ProcessMonoRun(left.data(), count, factor, 1e12));
    for (int i = 0; i < count; ++i) {
      if (stereo) {
        frames.ProcessStereo(inLeft[i], inRight[i]);
        ASSERT_EQ(right[i], frames.OutRight() * factor) << start + i;
      } else {
        frames.ProcessMono(inLeft[i]);
      }
      ASSERT_EQ(left[i], frames.OutLeft() * factor) << start + i;
    }
    ASSERT_EQ(runs.OutLeft(), frames.OutLeft());
    ASSERT_EQ(runs.OutRight(), frames.OutRight());
    ASSERT_EQ(runs.LastDivisor(), frames.LastDivisor());
    start += count;
  }
}

TEST(LookaheadLimiter, TransientsLowerTheDetectorCorner) {
  // From rest, every envelope takes the first smoothed level at once.
  const double pi = 3.141592653589793;
  LookaheadLimiter fast = Limiter(44100, 0, 0), slow = Limiter(44100, 0, 1);
  fast.ProcessStereo(0.5, 1);
  slow.ProcessStereo(0.5, 1);
  EXPECT_EQ(fast.LastDivisor(), (1 - std::exp(pi * -2 * 1000 / 44100)) + 1);
  EXPECT_EQ(slow.LastDivisor(), (1 - std::exp(pi * -2 * 100 / 44100)) + 1);
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
