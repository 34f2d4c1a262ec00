#include "dsp/DirtGate.h"

namespace torvane {

namespace {
// Release of the two peak holds; the longer one follows the level, the shorter
// one smooths the steps between measurements.
constexpr double kLevelReleaseMs = 10.0;
constexpr double kSmoothReleaseMs = 3.0;
}  // namespace

void DirtGate::Reset(double sampleRate) noexcept {
  stageA_.SetSampleRate(sampleRate);
  stageB_.SetSampleRate(sampleRate);
  stageA_.SetTimes(0.0, kLevelReleaseMs);
  stageB_.SetTimes(0.0, kSmoothReleaseMs);
}

}  // namespace torvane
