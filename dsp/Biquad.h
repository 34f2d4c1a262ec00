#pragma once

#include "dsp/DspCommon.h"

namespace torvane {

// A second-order filter section (direct form I) with the five cookbook designs
// the effect needs. A plain value owned by the processor that uses it; designed
// from the parameter or reset path and run from the audio thread, both under the
// plug-in lock. Every coefficient starts at 0, so an undesigned section is silent.
class Biquad {
 public:
  // Feed-forward and feedback coefficients, already divided by the design's a0.
  struct Coefficients {
    double b0 = 0.0;
    double b1 = 0.0;
    double b2 = 0.0;
    double a1 = 0.0;
    double a2 = 0.0;
  };

  // Takes effect with the next design; the current response stays as it is.
  void SetSampleRate(double hz) noexcept { sampleRate_ = hz; }
  double SampleRate() const noexcept { return sampleRate_; }

  // Designs leave the signal history alone, so a running filter changes its
  // response without a click from cleared state.
  void DesignLowpass(double hz, double q) noexcept;
  void DesignHighpass(double hz, double q) noexcept;
  // Band-pass with 0 dB gain at its centre.
  void DesignBandpass(double hz, double q) noexcept;
  void DesignAllpass(double hz, double q) noexcept;
  void DesignPeaking(double hz, double q, double gainDb) noexcept;

  double ProcessSample(double x) noexcept {
    double y = x1_ * c_.b1 + x * c_.b0;
    y = y + c_.b2 * x2_;
    y = y - c_.a1 * y1_;
    y = y - c_.a2 * y2_;
    x2_ = x1_;
    x1_ = x;
    y2_ = y1_;
    y1_ = y;
    return y;
  }

  const Coefficients& GetCoefficients() const noexcept { return c_; }
  // Forgets the signal history; the design stays.
  void ClearHistory() noexcept { x1_ = x2_ = y1_ = y2_ = 0.0; }
  bool HasFiniteState() const noexcept { return AllFinite(x1_, x2_, y1_, y2_); }

 private:
  // The first steps every design shares: the clamped corner as an angle.
  struct Angle {
    double alpha;
    double cosW0;
  };
  Angle DesignAngle(double hz, double q) const noexcept;

  double sampleRate_ = kDefaultSampleRate;
  double x1_ = 0.0;
  double x2_ = 0.0;
  double y1_ = 0.0;
  double y2_ = 0.0;
  Coefficients c_;
};

}  // namespace torvane
