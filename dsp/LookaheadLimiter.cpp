#include "dsp/LookaheadLimiter.h"

#include "dsp/DspCommon.h"

namespace torvane {

namespace {
// "Process" raises the input gain from 1 to 1.68. The span is written as the
// difference so that it is the same double, one step below 0.68, everywhere.
constexpr double kInputScaleSpan = 1.68 - 1.0;
// "Transients" lowers the detector corner from 1000 Hz to 100 Hz, so that
// short peaks move the gain less.
constexpr double kDetectorHz = 1000.0;
constexpr double kTransientsDetectorDrop = 900.0;
}  // namespace

void LookaheadLimiter::Reset(double sampleRate) noexcept {
  if (!IsUsableSampleRate(sampleRate)) return;
  envelope_.Reset(sampleRate);
  delayLeft_.SetLength(kLookahead);
  delayRight_.SetLength(kLookahead);
  detector_.SetSampleRate(sampleRate);
}

void LookaheadLimiter::Setup(double process, int transients) noexcept {
  const double t = transients != 0 ? 1.0 : 0.0;
  const double releaseMs = BandAndLimiterReleaseMs(process);
  const double smoothingHz = kDetectorHz - t * kTransientsDetectorDrop;
  inputScale_ = process * kInputScaleSpan + 1.0;
  envelope_.SetTimes(0.0, releaseMs);
  detector_.Clear();
  detector_.SetCorner(smoothingHz);
}

void LookaheadLimiter::ClearState() noexcept {
  outLeft_ = outRight_ = 0.0;
  lastDivisor_ = 1.0;
  envelope_.ClearState();
  delayLeft_.Clear();
  delayRight_.Clear();
  detector_.Clear();
}

bool LookaheadLimiter::HasFiniteState() const noexcept {
  return AllFinite(outLeft_, outRight_, lastDivisor_) && envelope_.HasFiniteState() && delayLeft_.HasFiniteState() &&
         delayRight_.HasFiniteState() && detector_.HasFiniteState();
}

}  // namespace torvane
