#pragma once

#include "dsp/BandDynamics.h"
#include "dsp/Biquad.h"
#include "dsp/DirtGate.h"
#include "dsp/DirtShaper.h"
#include "dsp/OnePoleSmoother.h"

namespace torvane {

// One channel of the effect's tone chain: seven leveled and weighted band-pass
// bands less fixed parts of three raw bands, a first-order LF cut and the
// optional dirt layer. The effect owns one per channel and calls it under the
// plug-in lock: setters and Reset from its hooks, ProcessSample on the audio thread.
class ChannelProcessor {
 public:
  static constexpr int kBands = 7;
  // The band whose gain "Fullness" sets together with its 300 Hz cut.
  static constexpr int kFullnessBand = 3;

  // Stores the rate everywhere (an unusable one is ignored) and designs the
  // fixed sections. The fullness cut, the LF cut and the bands' own envelope
  // times keep their last design until their parameter changes again; no
  // signal state is cleared.
  void Reset(double sampleRate) noexcept;
  // process: "Process" normalised to 0..1; transients: "Transients" as 0 or 1.
  void SetupBands(double process, int transients) noexcept;
  // v: the raw "Fullness" value in -10..10.
  void SetFullness(double value) noexcept;
  // Linear tone gain including the band's fixed weight. Band kFullnessBand
  // belongs to SetFullness and other indexes are not bands: both are ignored.
  void SetBandGain(int band, double gain) noexcept;
  // "Dirt" normalised to 0..1; the dirt layer runs only above 0.
  void SetDirt(double amount) noexcept;
  // Designs the LF cut corner at the rate stored now and clears its state.
  void SetLfCut(double hz) noexcept;

  double ProcessSample(double x) noexcept;

  // The band's last gain divisor, which its meter shows as 1 / divisor; 1 (no
  // gain change) for an index that is not a band.
  double BandDivisor(int band) const noexcept;

 private:
  Biquad bandFilter_[kBands];
  // Peaking cut at 300 Hz, in the path only while "Fullness" is below 0.
  Biquad fullnessCut_;
  // Its output subtracted from the signal forms the LF cut high-pass.
  OnePoleSmoother lfCut_;
  BandDynamics bandDynamics_[kBands];
  DirtShaper dirtShaper_;
  DirtGate dirtGate_;
  double bandGain_[kBands] = {1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0};
  bool dirtOn_ = false;
};

}  // namespace torvane
