#pragma once

#include "dsp/EnvelopeStage.h"

namespace torvane {

// The envelope behind a gain stage: a first stage with its owner's attack and
// release, followed by two stages that rise at once and hold falls back by
// 20 ms each. Owned by the limiter (the band lanes lay out the same chain lane
// by lane); designed from the reset and parameter paths and stepped on the
// audio thread.
class GainEnvelope {
 public:
  // Stores the rate in all three stages and designs the two smoothing stages;
  // the first stage keeps its times until the next SetTimes.
  void Reset(double sampleRate) noexcept;
  void SetTimes(double attackMs, double releaseMs) noexcept { first_.SetTimes(attackMs, releaseMs); }

  // Runs the level through the three stages and returns the envelope.
  double Follow(double level) noexcept { return third_.Follow(second_.Follow(first_.Follow(level))); }
  bool HasFiniteState() const noexcept {
    return first_.HasFiniteState() && second_.HasFiniteState() && third_.HasFiniteState();
  }
  void ClearState() noexcept {
    first_.ClearState();
    second_.ClearState();
    third_.ClearState();
  }

 private:
  EnvelopeStage first_;
  EnvelopeStage second_;
  EnvelopeStage third_;
};

}  // namespace torvane
