#include "dsp/ChannelProcessor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "dsp/EnvelopeStage.h"
#include "dsp/TestSignal.h"

namespace torvane {

namespace {

constexpr double kCentres[7] = {30, 80, 120, 300, 500, 1800, 4500};
constexpr double kQs[7] = {1, 2, 2, 1, 2, 1, 1};
constexpr double kWeights[7] = {0.708, 1, 1, 1, 1.19, 1.41, 1.68};

// A band's leveling stage written out from the envelope primitives: gain
// 1 / (envelope + offset) from |x| x drive through three envelope stages.
struct ReferenceDynamics {
  EnvelopeStage first, second, third;
  double drive = 1, offset = 1, lastDivisor = 1;

  void Reset(double fs) {
    for (EnvelopeStage* stage : {&first, &second, &third}) stage->SetSampleRate(fs);
    second.SetTimes(0, 20);
    third.SetTimes(0, 20);
  }
  double ProcessSample(double x) {
    const double level = std::fabs(x) * drive;
    lastDivisor = third.Follow(second.Follow(first.Follow(level))) + offset;
    return x / lastDivisor;
  }
};

// The channel chain assembled plainly from the primitives, with the band table
// written out here, to compare the processor against sample by sample.
struct ReferenceChannel {
  Biquad band[7], cut;
  ReferenceDynamics dyn[7];
  OnePoleSmoother lf;
  DirtGate gate;
  DirtShaper shaper;
  double gain[7] = {1, 1, 1, 1, 1, 1, 1};
  bool dirt = false;

  void Reset(double fs) {
    for (int b = 0; b < 7; ++b) {
      band[b].SetSampleRate(fs);
      band[b].DesignBandpass(kCentres[b], kQs[b]);
      dyn[b].Reset(fs);
    }
    cut.SetSampleRate(fs);
    lf.SetSampleRate(fs);
    gate.Reset(fs);
    shaper.Reset(fs);
  }
  void SetupBands(double p, int t) {
    const double drive = p * 19 + 1;
    const double depth = 1 - std::pow(10 * p, 0.5) * 3 / 10 * 0.8;
    const double rb = p * 110 + 10;
    const double attack[7] = {10.0 * t + 20, 10.0 * t + 20, 10.0 * t + 10, 5.0 * t + 5,
                              10.0 * t + 5, 5.0 * t, 1.0 * t};
    const double release[7] = {rb + 30, rb + 30, rb + 30, rb + 200, rb + 20, rb + 10, rb};
    for (int b = 0; b < 7; ++b) {
      dyn[b].first.SetTimes(attack[b], release[b]);
      dyn[b].drive = b == 6 ? drive + drive : drive;
      dyn[b].offset = b == 3 || b == 4 ? (depth + 1) * 0.5 : depth;
    }
  }
  void SetFullness(double v) {
    gain[3] = std::pow(10, (2 * v) / 20);
    cut.DesignPeaking(300, 1, std::min(v, 0.0));
  }
  void SetLfCut(double hz) {
    lf.Clear();
    lf.SetCorner(hz);
  }
  double Process(double x) {
    if (gain[3] < 1) x = cut.ProcessSample(x);
    double s[7];
    for (int b = 0; b < 7; ++b) s[b] = band[b].ProcessSample(x);
    double mix = dyn[0].ProcessSample(s[0]) * gain[0] - 0.25 * s[1];
    mix = dyn[1].ProcessSample(s[1]) * gain[1] + mix;
    mix = dyn[2].ProcessSample(s[2]) * gain[2] + mix;
    mix = dyn[3].ProcessSample(s[3]) * gain[3] + mix;
    mix = (dyn[4].ProcessSample(s[4]) * gain[4] - 0.25 * s[3]) + mix;
    mix = (dyn[5].ProcessSample(s[5]) * gain[5] - 0.75 * s[4]) + mix;
    mix = dyn[6].ProcessSample(s[6]) * gain[6] + mix;
    const double y = mix - lf.Process(mix);
    return dirt ? shaper.ProcessSample(gate.ProcessSample(y)) + y : y;
  }
};

// Applies the same change to both and checks that they then agree on x.
void RunBoth(ChannelProcessor& p, ReferenceChannel& r, const std::vector<double>& x,
             const std::function<void()>& change) {
  change();
  for (size_t n = 0; n < x.size(); ++n) {
    ASSERT_EQ(p.ProcessSample(x[n]), r.Process(x[n])) << "sample " << n;
    for (int b = 0; b < 7; ++b) ASSERT_EQ(p.BandDivisor(b), r.dyn[b].lastDivisor);
  }
}

ChannelProcessor Processor(double fs, double process, int transients) {
  ChannelProcessor p;
  p.Reset(fs);
  p.SetupBands(process, transients);
  for (int b = 0; b < ChannelProcessor::kBands; ++b) p.SetTone(b, 0);
  p.SetLfCut(30);
  return p;
}

}  // namespace

TEST(ChannelProcessor, MatchesThePlainChainThroughEveryParameterChange) {
  ChannelProcessor p;
  ReferenceChannel r;
  const std::vector<double> x = BassSignal(3000, 44100, 0.6);
  const double tones[7] = {5, -3, 4.6, 0, -7, 3, -0.5};
  RunBoth(p, r, x, [&] {
    p.Reset(44100), r.Reset(44100);
    p.SetupBands(0, 0), r.SetupBands(0, 0);
    p.SetLfCut(30), r.SetLfCut(30);
    p.SetTone(3, -3), r.SetFullness(-3);
    for (int b : {0, 1, 2, 4, 5, 6}) p.SetTone(b, tones[b]), r.gain[b] = std::pow(10, (2 * tones[b]) / 20) * kWeights[b];
  });
  RunBoth(p, r, x, [&] { p.SetupBands(0.73, 1), r.SetupBands(0.73, 1); });
  RunBoth(p, r, x, [&] { p.SetTone(3, 4), r.SetFullness(4); });  // cut frozen
  RunBoth(p, r, x, [&] { p.SetDirt(0.4), r.dirt = true, r.shaper.SetAmount(0.4); });
  RunBoth(p, r, x, [&] { p.SetTone(3, -0.1), r.SetFullness(-0.1); });  // cut resumes
  RunBoth(p, r, x, [&] { p.SetLfCut(100), r.SetLfCut(100); });
  RunBoth(p, r, x, [&] { p.Reset(96000), r.Reset(96000); });
  RunBoth(p, r, x, [&] { p.SetupBands(1, 0), r.SetupBands(1, 0); });
  RunBoth(p, r, x, [&] { p.SetDirt(0), r.dirt = false; });
}

TEST(ChannelProcessor, UndesignedProcessorIsSilent) {
  ChannelProcessor p;
  for (double x : BassSignal(200, 44100, 1)) EXPECT_EQ(p.ProcessSample(x), 0.0);
}

TEST(ChannelProcessor, DcInputSettlesToZero) {
  ChannelProcessor p = Processor(44100, 0.5, 0);
  double y = 1;
  for (int n = 0; n < 2 * 44100; ++n) y = p.ProcessSample(0.5);
  EXPECT_NEAR(y, 0.0, 1e-9);
}

TEST(ChannelProcessor, LfCutRemovesLowContent) {
  // The LF cut is a first-order high-pass after the mix: a 100 Hz corner
  // leaves about 30 / |30 + 100i| of the 30 Hz level.
  auto level = [](double cutHz) {
    ChannelProcessor p = Processor(44100, 0, 0);
    p.SetLfCut(cutHz);
    std::vector<double> y;
    for (double x : Sine(88200, 30, 44100, 0.001)) y.push_back(p.ProcessSample(x));
    return ToneAmplitude(y, 44100, 30, 44100);
  };
  EXPECT_NEAR(level(100) / level(0), 30 / std::hypot(30.0, 100.0), 0.01);
}

TEST(ChannelProcessor, IgnoresBadBandIndexes) {
  ChannelProcessor p = Processor(44100, 0.3, 0), q = Processor(44100, 0.3, 0);
  for (int b : {-1, 7}) p.SetTone(b, 5);
  for (double x : BassSignal(1000, 44100, 0.5)) ASSERT_EQ(p.ProcessSample(x), q.ProcessSample(x));
  EXPECT_EQ(p.BandDivisor(-1), 1.0);
  EXPECT_EQ(p.BandDivisor(ChannelProcessor::kBands), 1.0);
}

TEST(ChannelProcessor, DirtRunsOnlyAboveZero) {
  ChannelProcessor off = Processor(44100, 0.3, 0), zero = Processor(44100, 0.3, 0),
                   on = Processor(44100, 0.3, 0);
  zero.SetDirt(0);
  on.SetDirt(0.001);
  bool differs = false;
  for (double x : BassSignal(2000, 44100, 0.5)) {
    const double y = off.ProcessSample(x);
    ASSERT_EQ(zero.ProcessSample(x), y);
    differs = differs || on.ProcessSample(x) != y;
  }
  EXPECT_TRUE(differs);
}

TEST(ChannelProcessor, UnusableSampleRateIsIgnored) {
  ChannelProcessor p = Processor(48000, 0.3, 1), q = Processor(48000, 0.3, 1);
  p.Reset(0);
  p.Reset(std::nan(""));
  p.Reset(-44100);
  for (double x : BassSignal(1000, 48000, 0.5)) ASSERT_EQ(p.ProcessSample(x), q.ProcessSample(x));
}

// Each band's own contribution, measured as the difference between two
// processors that differ only in that band's gain (the chain is linear in the
// gains), with the LF cut off and a level low enough to leave the leveling
// nearly flat. Every band must peak at its centre and pass it at unity.
TEST(ChannelProcessor, EachBandPeaksAtItsCentre) {
  const double fs = 44100;
  for (int b = 0; b < ChannelProcessor::kBands; ++b) {
    auto level = [&](double hz) {
      ChannelProcessor lo = Processor(fs, 0, 0), hi = Processor(fs, 0, 0);
      lo.SetLfCut(0);
      hi.SetLfCut(0);
      hi.SetTone(b, 10 * std::log10(2.0));  // twice the gain of lo's 0 dB
      std::vector<double> diff;
      for (double x : Sine(int(fs), hz, fs, 0.001)) diff.push_back(hi.ProcessSample(x) - lo.ProcessSample(x));
      return ToneAmplitude(diff, int(fs / 2), hz, fs) / 0.001 / kWeights[b];
    };
    const double centre = kCentres[b];
    const double atCentre = level(centre);
    EXPECT_NEAR(atCentre, 1.0, 0.01) << "band " << b;
    for (double ratio : {0.5, 0.8, 0.94, 1.06, 1.25, 2.0}) {
      EXPECT_LT(level(centre * ratio), atCentre) << "band " << b << " at " << centre * ratio << " Hz";
    }
  }
}

}  // namespace torvane
