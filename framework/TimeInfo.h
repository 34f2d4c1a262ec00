#pragma once

namespace torvane {

// The host's transport state as the effect may ask for it. The caller fills in
// its own defaults; the host adapter overwrites what the host reports as valid.
struct TimeInfo {
  double tempo = 120.0;
  double samplePosition = 0.0;
  double quarterNotePosition = 0.0;
  double lastBarStart = 0.0;
  double cycleStart = 0.0;
  double cycleEnd = 0.0;
  int numerator = 4;
  int denominator = 4;
  bool transportRunning = false;
  bool loopActive = false;
};

}  // namespace torvane
