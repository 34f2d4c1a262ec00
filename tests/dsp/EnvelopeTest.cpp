#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>

#include "dsp/EnvelopeStage.h"
#include "dsp/OnePoleSmoother.h"

namespace torvane {

TEST(EnvelopeStage, ZeroOrNegativeTimeIsInstantWithoutDividingByZero) {
  EnvelopeStage e;
  std::feclearexcept(FE_ALL_EXCEPT);
  e.SetTimes(0, -5);
  EXPECT_EQ(std::fetestexcept(FE_DIVBYZERO), 0);
  EXPECT_EQ(e.AttackCoef(), 0.0);
  EXPECT_EQ(e.ReleaseCoef(), 0.0);
  EXPECT_EQ(e.Follow(0.7), 0.7);
  EXPECT_EQ(e.Follow(0.2), 0.2);
}

TEST(EnvelopeStage, ReleaseOf20MsAt44100IsExpOfMinusOneOver882) {
  EnvelopeStage e;
  e.SetTimes(0, 20);
  EXPECT_EQ(e.ReleaseCoef(), std::exp(-1.0 / 882));
  EXPECT_EQ(e.AttackCoef(), 0.0);
}

TEST(EnvelopeStage, RisesWithAttackAndFallsWithRelease) {
  EnvelopeStage e;
  e.SetSampleRate(48000);
  e.SetTimes(2, 5);
  const double a = std::exp(-1 / (48000 * 2 / 1000.0));
  const double r = std::exp(-1 / (48000 * 5 / 1000.0));
  EXPECT_EQ(e.AttackCoef(), a);
  EXPECT_EQ(e.ReleaseCoef(), r);
  double state = 0;
  for (double u : {1.0, 1.0, 0.25, 0.5, 0.0, 2.0}) {
    state = u > state ? state * a + u * (1 - a) : state * r + u * (1 - r);
    EXPECT_EQ(e.Follow(u), state);
  }
}

TEST(EnvelopeStage, HoldPeakRisesAtOnceAndFallsByTheReleaseCoefficient) {
  EnvelopeStage e;
  e.SetTimes(0, 10);
  const double r = std::exp(-1.0 / 441);
  EXPECT_EQ(e.HoldPeak(0.8), 0.8);
  EXPECT_EQ(e.HoldPeak(0.1), 0.8 * r);
  EXPECT_EQ(e.HoldPeak(0.9), 0.9);
}

TEST(OnePoleSmoother, CornerCoefficientAndUpdate) {
  OnePoleSmoother s;
  s.SetSampleRate(48000);
  s.SetCorner(30);
  const double pi = 3.141592653589793;
  const double c = 1 - std::exp(pi * -2 * 30 / 48000);
  EXPECT_EQ(s.Coefficient(), c);
  EXPECT_EQ(s.Process(1.0), c);
  EXPECT_EQ(s.Process(1.0), (1 - c) * c + c);
  s.SetCorner(100);  // a new corner keeps the state
  EXPECT_EQ(s.State(), (1 - c) * c + c);
  s.Clear();
  EXPECT_EQ(s.State(), 0.0);
}

TEST(OnePoleSmoother, InputLessItsOutputRemovesDc) {
  OnePoleSmoother s;
  s.SetCorner(20);
  double highpassed = 1;
  for (int n = 0; n < 44100; ++n) highpassed = 0.5 - s.Process(0.5);
  EXPECT_NEAR(highpassed, 0.0, 1e-12);
}

}  // namespace torvane
