#include "dsp/DirtShaper.h"

#include <algorithm>
#include <cmath>

namespace torvane {

namespace {
// The level is measured once per this many samples: the square root and the
// drive update are too costly to run per sample and need not be.
constexpr int kMeasureInterval = 100;
// The mean square is smoothed with the coefficient of a 3 ms one-pole, applied
// once per measurement.
constexpr double kRmsSeconds = 0.003;
// drive = kDriveLevel / (rms + kDriveLevel) * kDriveScale, about 0.01 / rms:
// quieter material is driven harder, so a decaying note keeps its grit.
constexpr double kDriveLevel = 0.0001;
constexpr double kDriveScale = 100.0;
// The drive's limit, 5 .. 20 by amount: it keeps silence from being driven
// without bound.
constexpr double kDriveLimit = 5.0;
constexpr double kDriveLimitPerAmount = 15.0;
// Gain into the arctangent and the output level, both rising with amount.
constexpr double kCurveGain = 800.0;
constexpr double kOutputLevel = 0.03;
constexpr double kOutputLevelPerAmount = 0.01;
}  // namespace

void DirtShaper::Reset(double sampleRate) noexcept {
  inputHighpass_.SetSampleRate(sampleRate);
  outputLowpass_.SetSampleRate(sampleRate);
  outputAllpass_.SetSampleRate(sampleRate);
  outputHighpass_.SetSampleRate(sampleRate);
  inputDip_.SetSampleRate(sampleRate);
  inputHighpass_.DesignHighpass(2000.0, 1.0);
  outputLowpass_.DesignLowpass(1000.0, 0.5);
  outputAllpass_.DesignAllpass(1000.0, 0.5);
  outputHighpass_.DesignHighpass(600.0, 0.9);
  inputDip_.DesignPeaking(1200.0, 2.0, -20.0);
  rmsCoefficient_ = 1.0 - std::exp(-1.0 / (sampleRate * kRmsSeconds));
}

void DirtShaper::ClearState() noexcept {
  for (Biquad* filter : {&inputHighpass_, &outputLowpass_, &outputAllpass_, &outputHighpass_, &inputDip_}) {
    filter->ClearHistory();
  }
  drive_ = 0.0;
  meanSquare_ = 0.0;
  counter_ = 0;
}

bool DirtShaper::HasFiniteState() const noexcept {
  return inputHighpass_.HasFiniteState() && outputLowpass_.HasFiniteState() && outputAllpass_.HasFiniteState() &&
         outputHighpass_.HasFiniteState() && inputDip_.HasFiniteState() && AllFinite(drive_, meanSquare_);
}

[[gnu::always_inline]] inline double DirtShaper::CurveArgument(double x) noexcept {
  double y = inputHighpass_.ProcessSample(x);
  y = inputDip_.ProcessSample(y);

  const int n = counter_;
  counter_ = n + 1;
  if (n >= kMeasureInterval) {
    meanSquare_ = (y * y - meanSquare_) * rmsCoefficient_ + meanSquare_;
    drive_ = kDriveLevel / (std::sqrt(meanSquare_) + kDriveLevel) * kDriveScale;
    drive_ = std::min(drive_, amount_ * kDriveLimitPerAmount + kDriveLimit);
    counter_ = 1;
  }
  return y * drive_ * amount_ * kCurveGain;
}

[[gnu::always_inline]] inline double DirtShaper::Output(double curve) noexcept {
  double z = curve * (amount_ * kOutputLevelPerAmount + kOutputLevel);
  z = outputLowpass_.ProcessSample(z);
  z = outputAllpass_.ProcessSample(z);
  return outputHighpass_.ProcessSample(z);
}

double DirtShaper::ProcessSample(double x) noexcept { return Output(std::atan(CurveArgument(x))); }

void DirtShaper::ProcessRun(double* samples, int frames) noexcept {
  // Worked on a copy, whose state the compiler keeps in registers.
  DirtShaper shaper = *this;
  for (int i = 0; i < frames; ++i) samples[i] = shaper.CurveArgument(samples[i]);
  for (int i = 0; i < frames; ++i) samples[i] = std::atan(samples[i]);
  for (int i = 0; i < frames; ++i) samples[i] = shaper.Output(samples[i]);
  *this = shaper;
}

}  // namespace torvane
