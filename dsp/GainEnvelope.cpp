#include "dsp/GainEnvelope.h"

#include "dsp/DspCommon.h"

namespace torvane {

void GainEnvelope::Reset(double sampleRate) noexcept {
  first_.SetSampleRate(sampleRate);
  second_.SetSampleRate(sampleRate);
  third_.SetSampleRate(sampleRate);
  second_.SetTimes(0.0, kSmoothingReleaseMs);
  third_.SetTimes(0.0, kSmoothingReleaseMs);
}

}  // namespace torvane
