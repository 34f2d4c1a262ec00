#include "dsp/Biquad.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "dsp/TestSignal.h"

namespace torvane {

namespace {

// The cookbook's shared steps, evaluated here as written: alpha and cos w0.
struct Angle {
  double alpha;
  double c;
};
Angle CookbookAngle(double hz, double q, double sampleRate) {
  const double pi = 3.141592653589793;
  const double w0 = (pi + pi) * hz / sampleRate;
  return {std::sin(w0) / (q + q), std::cos(w0)};
}

void ExpectCoefficients(const Biquad& f, double b0, double b1, double b2, double a1, double a2) {
  const Biquad::Coefficients& c = f.GetCoefficients();
  EXPECT_EQ(c.b0, b0);
  EXPECT_EQ(c.b1, b1);
  EXPECT_EQ(c.b2, b2);
  EXPECT_EQ(c.a1, a1);
  EXPECT_EQ(c.a2, a2);
}

void ExpectSameDesign(const Biquad& f, const Biquad& g) {
  const Biquad::Coefficients& c = g.GetCoefficients();
  ExpectCoefficients(f, c.b0, c.b1, c.b2, c.a1, c.a2);
}

Biquad At(double sampleRate) {
  Biquad f;
  f.SetSampleRate(sampleRate);
  return f;
}

}  // namespace

TEST(Biquad, EachDesignMatchesTheCookbook) {
  const double fs = 48000, hz = 1000, q = 0.7;
  const Angle d = CookbookAngle(hz, q, fs);
  const double a0 = 1 + d.alpha;

  Biquad f = At(fs);
  f.DesignLowpass(hz, q);
  ExpectCoefficients(f, (1 - d.c) * 0.5 / a0, (1 - d.c) / a0, (1 - d.c) * 0.5 / a0, -2 * d.c / a0,
                     (1 - d.alpha) / a0);
  f.DesignHighpass(hz, q);
  ExpectCoefficients(f, (1 + d.c) * 0.5 / a0, -(1 + d.c) / a0, (1 + d.c) * 0.5 / a0, -2 * d.c / a0,
                     (1 - d.alpha) / a0);
  f.DesignBandpass(hz, q);
  ExpectCoefficients(f, d.alpha / a0, 0, -(d.alpha / a0), -2 * d.c / a0, (1 - d.alpha) / a0);
  f.DesignAllpass(hz, q);
  ExpectCoefficients(f, (1 - d.alpha) / a0, -2 * d.c / a0, 1, -2 * d.c / a0, (1 - d.alpha) / a0);

  const double a = std::pow(10.0, -20.0 / 40);
  const double pa0 = 1 + d.alpha / a;
  f.DesignPeaking(hz, q, -20);
  ExpectCoefficients(f, (1 + d.alpha * a) / pa0, -2 * d.c / pa0, (1 - d.alpha * a) / pa0,
                     -2 * d.c / pa0, (1 - d.alpha / a) / pa0);
}

TEST(Biquad, DesignsClampQAndFrequency) {
  Biquad f = At(44100), g = At(44100);
  f.DesignLowpass(30000, 1);
  g.DesignLowpass(22050, 1);
  ExpectSameDesign(f, g);
  f.DesignBandpass(-5, 1);
  g.DesignBandpass(0.1, 1);
  ExpectSameDesign(f, g);
  f.DesignHighpass(500, 0.05);
  g.DesignHighpass(500, 0.1);
  ExpectSameDesign(f, g);
  f.DesignPeaking(500, 20, 6);
  g.DesignPeaking(500, 10, 6);
  ExpectSameDesign(f, g);
  // A zero Q or a corner at the rate itself would otherwise give NaN or a fold-back.
  f.DesignAllpass(44100, 0);
  g.DesignAllpass(22050, 0.1);
  ExpectSameDesign(f, g);
  EXPECT_TRUE(std::isfinite(f.GetCoefficients().a2));
}

TEST(Biquad, PeakingAtZeroDecibelsIsFlat) {
  Biquad f = At(44100);
  f.DesignPeaking(300, 1, 0);
  const Biquad::Coefficients& c = f.GetCoefficients();
  EXPECT_EQ(c.b0, 1.0);
  EXPECT_EQ(c.b1, c.a1);
  EXPECT_EQ(c.b2, c.a2);
  const std::vector<double> x = BassSignal(2000, 44100, 0.5);
  for (double v : x) EXPECT_NEAR(f.ProcessSample(v), v, 1e-12);
}

TEST(Biquad, ProcessesDirectFormOneAndKeepsHistoryAcrossDesigns) {
  Biquad f = At(44100), lowpass = At(44100), highpass = At(44100);
  lowpass.DesignLowpass(5000, 0.7);
  highpass.DesignHighpass(200, 2);
  const double input[] = {1, -0.5, 0.25, 2, 0, 0, 0.125, -1, 0.5, 0};

  f.DesignLowpass(5000, 0.7);
  double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
  for (int n = 0; n < 10; ++n) {
    if (n == 5) f.DesignHighpass(200, 2);
    const Biquad::Coefficients& c = (n < 5 ? lowpass : highpass).GetCoefficients();
    double y = x1 * c.b1 + input[n] * c.b0;
    y = y + c.b2 * x2;
    y = y - c.a1 * y1;
    y = y - c.a2 * y2;
    x2 = x1, x1 = input[n], y2 = y1, y1 = y;
    EXPECT_EQ(f.ProcessSample(input[n]), y) << "sample " << n;
  }
}

TEST(Biquad, UndesignedSectionIsSilent) {
  Biquad f;
  EXPECT_EQ(f.SampleRate(), 44100.0);
  for (double v : {1.0, -3.0, 0.5}) EXPECT_EQ(f.ProcessSample(v), 0.0);
}

TEST(Biquad, BandpassPassesItsCentreAtUnityAndBlocksDc) {
  Biquad f = At(44100);
  f.DesignBandpass(30, 1);
  std::vector<double> y;
  for (double v : Sine(88200, 30, 44100, 1)) y.push_back(f.ProcessSample(v));
  EXPECT_NEAR(ToneAmplitude(y, 44100, 30, 44100), 1.0, 1e-4);

  Biquad dc = At(44100);
  dc.DesignBandpass(30, 1);
  double out = 1;
  for (int n = 0; n < 44100; ++n) out = dc.ProcessSample(1.0);
  EXPECT_NEAR(out, 0.0, 1e-9);
}

}  // namespace torvane
