#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "dsp/Biquad.h"
#include "dsp/DirtGate.h"
#include "dsp/DirtShaper.h"
#include "dsp/TestSignal.h"

namespace torvane {

namespace {
DirtGate Gate() {
  DirtGate g;
  g.Reset(44100);
  return g;
}

DirtShaper Shaper(double amount) {
  DirtShaper s;
  s.Reset(44100);
  s.SetAmount(amount);
  return s;
}
}  // namespace

TEST(DirtGate, ClosedUntilTheTenthCallThenOpenAtMinus40Db) {
  DirtGate g = Gate();
  for (int n = 1; n < 10; ++n) EXPECT_EQ(g.ProcessSample(0.02), 0.0) << "call " << n;
  EXPECT_EQ(g.ProcessSample(0.02), 0.02);
  EXPECT_EQ(g.Gain(), 1.0);
}

TEST(DirtGate, ScalesQuietMaterialByItsLevel) {
  DirtGate g = Gate();
  for (int n = 1; n < 10; ++n) g.ProcessSample(-0.005);
  EXPECT_EQ(g.ProcessSample(-0.005), -0.005 * 0.5);
  EXPECT_EQ(g.Gain(), 0.5);
}

TEST(DirtGate, HoldsTheGainBetweenMeasurementsAndReleasesPerMeasurement) {
  DirtGate g = Gate();
  for (int n = 0; n < 10; ++n) g.ProcessSample(0.5);
  for (int n = 1; n < 10; ++n) EXPECT_EQ(g.ProcessSample(0.001), 0.001);
  g.ProcessSample(0.0);
  // The 10 ms hold falls less than the 3 ms one, so it sets the gain.
  EXPECT_EQ(g.Gain(), std::exp(-1.0 / 441));
  for (int n = 0; n < 10; ++n) g.ProcessSample(0.0);
  const double a = std::exp(-1.0 / 441) * std::exp(-1.0 / 441);
  EXPECT_EQ(g.Gain(), std::max(a, std::exp(-1.0 / 132.3) * std::exp(-1.0 / 441)));
}

TEST(DirtShaper, MeasuresFirstAtCall101ThenEvery100) {
  DirtShaper s = Shaper(0.5);
  const std::vector<double> x = Sine(400, 3000, 44100, 0.1);
  for (int n = 1; n <= 400; ++n) {
    const double before = s.Drive();
    const double out = s.ProcessSample(x[n - 1]);
    const bool measured = n == 101 || n == 201 || n == 301;
    EXPECT_EQ(s.Drive() != before, measured) << "call " << n;
    if (n <= 100) {
      EXPECT_EQ(out, 0.0) << "call " << n;
    }
  }
}

TEST(DirtShaper, SilenceDrivesToTheLimit) {
  for (double amount : {0.01, 0.5, 1.0}) {
    DirtShaper s = Shaper(amount);
    for (int n = 0; n < 101; ++n) s.ProcessSample(0.0);
    EXPECT_EQ(s.Drive(), amount * 15 + 5);
  }
}

TEST(DirtShaper, SaturatesBetweenItsInputAndOutputFilters) {
  const double amount = 0.3;
  DirtShaper s = Shaper(amount);
  Biquad hp, dip, lp, ap, hp2;
  hp.DesignHighpass(2000, 1);
  dip.DesignPeaking(1200, 2, -20);
  lp.DesignLowpass(1000, 0.5);
  ap.DesignAllpass(1000, 0.5);
  hp2.DesignHighpass(600, 0.9);
  const double rms = 1 - std::exp(-1 / (44100 * 0.003));
  double meanSquare = 0, drive = 0;
  const std::vector<double> x = BassSignal(2000, 44100, 0.3);
  for (int n = 0; n < 2000; ++n) {
    const double y = dip.ProcessSample(hp.ProcessSample(x[n]));
    if (n >= 100 && n % 100 == 0) {
      meanSquare = (y * y - meanSquare) * rms + meanSquare;
      drive = std::min(0.0001 / (std::sqrt(meanSquare) + 0.0001) * 100, amount * 15 + 5);
    }
    const double z = std::atan(y * drive * amount * 800) * (amount * 0.01 + 0.03);
    ASSERT_EQ(s.ProcessSample(x[n]), hp2.ProcessSample(ap.ProcessSample(lp.ProcessSample(z))))
        << "sample " << n;
  }
}

}  // namespace torvane
