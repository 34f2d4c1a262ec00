#include "dsp/ChannelProcessor.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "dsp/DspCommon.h"
#include "dsp/TestSignal.h"

namespace torvane {

namespace {

// Each band's published response: the centre it passes, at the weight its
// tone gain carries.
constexpr double kCentres[7] = {30, 80, 120, 300, 500, 1800, 4500};
constexpr double kWeights[7] = {0.708, 1, 1, 1, 1.19, 1.41, 1.68};

ChannelProcessor Processor(double fs, double process, int transients) {
  ChannelProcessor p;
  p.Reset(fs);
  p.SetupBands(process, transients);
  for (int b = 0; b < ChannelProcessor::kBands; ++b) p.SetTone(b, 0);
  p.SetLfCut(30);
  return p;
}

}  // namespace

// A band's gain is 1 / (envelope + offset), the envelope following its
// band-pass output times the detector drive. "Process" raises the drive from 1
// to 20 (the treble band's twice that) and lowers the offset from 1 to
// 1 - 0.24 sqrt(10) (the mid bands 3 and 4 half as far), and lengthens every
// band's release by 110 ms.
TEST(ChannelProcessor, EachBandLevelsByOneOverEnvelopePlusOffsetAndReleasesWithProcess) {
  const double fs = 44100, level = 0.02;
  for (int b = 0; b < ChannelProcessor::kBands; ++b) {
    double tailMs[2];
    for (int i = 0; i < 2; ++i) {
      const double process = i == 0 ? 0.5 : 1.0;
      const double depth = 1 - 0.24 * std::sqrt(10 * process);
      const double offset = b == 3 || b == 4 ? (depth + 1) / 2 : depth;
      const double drive = (1 + 19 * process) * (b == 6 ? 2 : 1);
      ChannelProcessor p = Processor(fs, process, 0);
      p.ProcessSample(0);
      EXPECT_NEAR(p.BandDivisor(b), offset, 1e-12) << "band " << b;
      // A steady sine at the centre leaves the band-pass at its own level; an
      // envelope that attacks faster than it releases settles between the
      // rectified mean and the peak of that.
      const std::vector<double> x = Sine(int(fs), kCentres[b], fs, level);
      double sum = 0;
      for (int n = 0; n < fs; ++n) {
        p.ProcessSample(x[n]);
        if (n >= fs / 2) sum += p.BandDivisor(b) - offset;
      }
      const double envelope = sum / (fs / 2) / (level * drive);
      EXPECT_GT(envelope, 2 / kPi * 0.99) << "band " << b << " Process " << process;
      EXPECT_LT(envelope, 1.0) << "band " << b << " Process " << process;
      // Long after the sine, only the band's release still falls, by the
      // same factor every sample: three readings 100 ms apart give its time
      // constant whatever the offset.
      const int frames100Ms = int(fs / 10);
      double d[3];
      for (int k = 0; k < 3; ++k) {
        for (int n = 0; n < (k == 0 ? 8 : 1) * frames100Ms; ++n) p.ProcessSample(0);
        d[k] = p.BandDivisor(b);
      }
      tailMs[i] = 100 / std::log((d[0] - d[1]) / (d[1] - d[2]));
    }
    EXPECT_NEAR(tailMs[1] - tailMs[0], 55, 1) << "band " << b;
  }
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
