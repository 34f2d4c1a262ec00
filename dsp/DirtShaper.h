#pragma once

#include "dsp/Biquad.h"

namespace torvane {

// The saturation path of "Dirt": takes the content from 2 kHz up, dips it
// around 1.2 kHz, drives it into an arctangent with a drive that rises as the
// signal gets quieter, and band-limits the result to 600 Hz .. 1 kHz. Owned by
// a ChannelProcessor; reset, set and run under the plug-in lock.
class DirtShaper {
 public:
  // Stores the rate and designs the five fixed filters and the level smoother;
  // filter histories, the measured level and the drive carry on.
  void Reset(double sampleRate) noexcept;
  // "Dirt" normalised to 0..1.
  void SetAmount(double amount) noexcept { amount_ = amount; }

  double ProcessSample(double x) noexcept;
  // ProcessSample over a run, in place, in three stages: the input filters
  // and drive into the arctangent's arguments, the arctangents (independent
  // of each other, so that they overlap), then the output filters.
  void ProcessRun(double* samples, int frames) noexcept;

  double Drive() const noexcept { return drive_; }
  // Back to the state of a new shaper (silent until its first measurement);
  // the design and the amount stay.
  void ClearState() noexcept;
  bool HasFiniteState() const noexcept;

 private:
  // The input filters, the level measurement and the drive: the argument of
  // the arctangent.
  double CurveArgument(double x) noexcept;
  // The arctangent's value to the output.
  double Output(double curve) noexcept;

  Biquad inputHighpass_;
  Biquad outputLowpass_;
  Biquad outputAllpass_;
  Biquad outputHighpass_;
  Biquad inputDip_;
  double amount_ = 0.0;
  // 0 until the first measurement, so the path is silent until then.
  double drive_ = 0.0;
  double meanSquare_ = 0.0;
  double rmsCoefficient_ = 0.0;
  int counter_ = 0;
};

}  // namespace torvane
