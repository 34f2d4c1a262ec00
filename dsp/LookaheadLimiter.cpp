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

template <bool kStereo>
bool LookaheadLimiter::ProcessRun(double* left, double* right, int frames, double factor, double largest) noexcept {
  // Each delay's held samples, then the run's scaled inputs: the delayed
  // sample of frame i is line[i]. Both delays are kLookahead long once reset
  // and 0 before.
  double lineLeft[kLookahead + kMaxPassFrames];
  double lineRight[kLookahead + kMaxPassFrames];
  const int heldLeft = delayLeft_.Length();
  const int heldRight = kStereo ? delayRight_.Length() : 0;
  delayLeft_.CopyHeld(lineLeft);
  if (kStereo) delayRight_.CopyHeld(lineRight);
  for (int i = 0; i < frames; ++i) lineLeft[heldLeft + i] = left[i] * inputScale_;
  if (kStereo) {
    for (int i = 0; i < frames; ++i) lineRight[heldRight + i] = right[i] * inputScale_;
  }

  OnePoleSmoother detector = detector_;
  GainEnvelope envelope = envelope_;
  double divisor = lastDivisor_, outLeft = outLeft_, outRight = outRight_;
  bool inRange = true;
  for (int i = 0; i < frames; ++i) {
    const double l = lineLeft[heldLeft + i];
    const double level = kStereo ? std::max(std::fabs(lineRight[heldRight + i]), std::fabs(l)) : std::fabs(l);
    divisor = envelope.Follow(detector.Process(level)) + 1.0;
    if (kStereo) {
      const Pair delayed = {lineLeft[i], lineRight[i]};
      const Pair out = delayed / divisor;
      outLeft = out[0];
      outRight = out[1];
      right[i] = outRight * factor;
      inRange = inRange & (std::fabs(right[i]) <= largest);
    } else {
      outLeft = lineLeft[i] / divisor;
    }
    left[i] = outLeft * factor;
    inRange = inRange & (std::fabs(left[i]) <= largest);
  }
  if (!inRange) return false;

  delayLeft_.Push(lineLeft + heldLeft, frames);
  if (kStereo) delayRight_.Push(lineRight + heldRight, frames);
  detector_ = detector;
  envelope_ = envelope;
  lastDivisor_ = divisor;
  outLeft_ = outLeft;
  outRight_ = kStereo ? outRight : outLeft;
  return true;
}

bool LookaheadLimiter::ProcessStereoRun(double* left, double* right, int frames, double factor,
                                        double largest) noexcept {
  return ProcessRun<true>(left, right, frames, factor, largest);
}

bool LookaheadLimiter::ProcessMonoRun(double* samples, int frames, double factor, double largest) noexcept {
  return ProcessRun<false>(samples, nullptr, frames, factor, largest);
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
