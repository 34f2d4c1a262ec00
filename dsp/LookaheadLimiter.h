#pragma once

#include <algorithm>
#include <cmath>

#include "dsp/DelayLine.h"
#include "dsp/GainEnvelope.h"
#include "dsp/OnePoleSmoother.h"

namespace torvane {

// The effect's last stage: one gain 1 / (1 + envelope) from the louder channel,
// applied to both channels delayed by kLookahead samples so that it is already
// down when a peak leaves the delay. Owned by the effect, one for both channels;
// set up from the parameter and reset paths, run on the audio thread.
class LookaheadLimiter {
 public:
  // The delay, and so the latency the effect reports.
  static constexpr int kLookahead = 64;

  // Stores the rate (an unusable one is ignored), rewinds the delays and
  // designs the fixed smoothing stages. The gain stage and the detector keep
  // the design of the last Setup until the next one.
  void Reset(double sampleRate) noexcept;
  // process: "Process" normalised to 0..1; transients: "Transients" as 0 or 1.
  // A steady input then leaves at a / (1 + a), a being the input scaled by the
  // gain "Process" sets: never above 1.
  void Setup(double process, int transients) noexcept;

  void ProcessStereo(double left, double right) noexcept {
    const double l = left * inputScale_;
    const double r = right * inputScale_;
    const double divisor = UpdateDivisor(std::max(std::fabs(r), std::fabs(l)));
    // Both channels in one division: two lanes round exactly as two scalars.
    const Pair delayed = {delayLeft_.Step(l), delayRight_.Step(r)};
    const Pair out = delayed / divisor;
    outLeft_ = out[0];
    outRight_ = out[1];
  }
  // Only the left delay advances; the right one resumes where it stopped when
  // stereo processing returns.
  void ProcessMono(double x) noexcept {
    const double v = x * inputScale_;
    const double divisor = UpdateDivisor(std::fabs(v));
    outLeft_ = delayLeft_.Step(v) / divisor;
    outRight_ = outLeft_;
  }

  // The same over a run of at most kMaxPassFrames frames, in place, each
  // output times factor. When an output lies beyond largest (or is not a
  // number) the limiter's state stays as it was and the result is false.
  bool ProcessStereoRun(double* left, double* right, int frames, double factor, double largest) noexcept;
  bool ProcessMonoRun(double* samples, int frames, double factor, double largest) noexcept;

  // Silences the right delay, which mono processing left holding the samples
  // of the last stereo block.
  void ClearRightDelay() noexcept { delayRight_.Clear(); }
  // Back to the state of a new limiter; designs and settings stay.
  void ClearState() noexcept;
  bool HasFiniteState() const noexcept;

  double OutLeft() const noexcept { return outLeft_; }
  double OutRight() const noexcept { return outRight_; }
  // The effect's meter shows 1 / LastDivisor().
  double LastDivisor() const noexcept { return lastDivisor_; }

 private:
  using Pair = double __attribute__((vector_size(16)));

  // Runs the smoothed detector level through the envelope chain and returns
  // the new divisor.
  double UpdateDivisor(double level) noexcept {
    const double d = detector_.Process(level);
    lastDivisor_ = envelope_.Follow(d) + 1.0;
    return lastDivisor_;
  }

  template <bool kStereo>
  bool ProcessRun(double* left, double* right, int frames, double factor, double largest) noexcept;

  double outLeft_ = 0.0;
  double outRight_ = 0.0;
  // No gain reduction until the first sample.
  double lastDivisor_ = 1.0;
  double inputScale_ = 1.0;
  GainEnvelope envelope_;
  DelayLine delayLeft_;
  DelayLine delayRight_;
  OnePoleSmoother detector_;
};

}  // namespace torvane
