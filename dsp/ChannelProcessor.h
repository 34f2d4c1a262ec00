#pragma once

#include <cmath>

#include "dsp/BandLanes.h"
#include "dsp/Biquad.h"
#include "dsp/DirtGate.h"
#include "dsp/DirtShaper.h"
#include "dsp/OnePoleSmoother.h"

namespace torvane {

// One channel of the effect's tone chain: seven leveled and weighted band-pass
// bands less fixed parts of three raw bands, a first-order LF cut and the
// optional dirt layer. The effect owns one per channel and calls it under the
// plug-in lock: setters and Reset from its hooks, processing on the audio thread.
class ChannelProcessor {
 public:
  static constexpr int kBands = BandLanes::kBands;
  // The band whose tone control ("Fullness") also sets a 300 Hz cut.
  static constexpr int kFullnessBand = 3;

  // Stores the rate everywhere (an unusable one is ignored) and designs the
  // fixed sections. The fullness cut, the LF cut and the bands' own envelope
  // times keep their last design until their parameter changes again; no
  // signal state is cleared.
  void Reset(double sampleRate) noexcept;
  // process: "Process" normalised to 0..1; transients: "Transients" as 0 or 1.
  void SetupBands(double process, int transients) noexcept;
  // The raw value (-10..10) of the band's tone control; it acts as twice as
  // many decibels, on top of the band's fixed weight. Other indexes are ignored.
  void SetTone(int band, double value) noexcept;
  // "Dirt" normalised to 0..1; the dirt layer runs only above 0.
  void SetDirt(double amount) noexcept;
  bool DirtOn() const noexcept { return dirtOn_; }
  // Designs the LF cut corner at the rate stored now; the state is cleared
  // only when the corner moves, so an unchanged value does not click.
  void SetLfCut(double hz) noexcept;
  // Forgets every filter history and envelope, as a new processor would;
  // designs and settings stay.
  void ClearState() noexcept;
  // False once any filter history or envelope is infinite or NaN.
  bool HasFiniteState() const noexcept;

  double ProcessSample(double x) noexcept;

  // A sample that is not a number (a broken upstream plug-in, a damaged file)
  // enters as silence.
  static double Trimmed(double x, double trimGain) noexcept { return std::isfinite(x) ? x * trimGain : 0.0; }

  // ProcessSample in three steps, for the block kernels that step the band
  // lanes of one or both channels in vector registers: BandInput(x) is what
  // every band is fed, the band lanes step with it, and Finish sums their
  // outputs and runs the LF cut and the dirt layer.
  double BandInput(double x) noexcept {
    return CutInPath() ? fullnessCut_.ProcessSample(x) : x;
  }
  BandLanes& Bands() noexcept { return bands_; }
  double Finish(const double* leveled, const double* raw) noexcept {
    const double mix = Mix(leveled, raw);
    const double y = mix - lfCut_.Process(mix);
    return dirtOn_ ? WithDirt(y) : y;
  }
  // The bands' outputs summed in band order; three bands thin the overlap
  // with a neighbour by subtracting part of its raw (not leveled) output.
  static double Mix(const double* leveled, const double* raw) noexcept {
    double mix = leveled[0] - 0.25 * raw[1];
    mix = leveled[1] + mix;
    mix = leveled[2] + mix;
    mix = leveled[3] + mix;
    mix = (leveled[4] - 0.25 * raw[3]) + mix;
    mix = (leveled[5] - 0.75 * raw[4]) + mix;
    return leveled[6] + mix;
  }

  // For the block kernels, which run the chain a pass at a time over a run of
  // frames: the stages before and after the bands with their state copied
  // out, so that it stays in registers for the run and the channel keeps its
  // own until Store puts it back.
  class Stages {
   public:
    explicit Stages(const ChannelProcessor& channel) noexcept
        : fullnessCut_(channel.fullnessCut_), lfCut_(channel.lfCut_), cutInPath_(channel.CutInPath()) {}
    double BandInput(double x) noexcept { return cutInPath_ ? fullnessCut_.ProcessSample(x) : x; }
    // The band sum less its LF cut: the output without dirt.
    double LfCut(double mix) noexcept { return mix - lfCut_.Process(mix); }
    void Store(ChannelProcessor& channel) const noexcept {
      channel.fullnessCut_ = fullnessCut_;
      channel.lfCut_ = lfCut_;
    }

   private:
    Biquad fullnessCut_;
    OnePoleSmoother lfCut_;
    bool cutInPath_;
  };
  // The same for the dirt layer, kept apart so that the small Stages fit in
  // registers.
  class DirtStages {
   public:
    explicit DirtStages(const ChannelProcessor& channel) noexcept
        : shaper_(channel.dirtShaper_), gate_(channel.dirtGate_), on_(channel.dirtOn_) {}
    // The dirt layer (when on) over a run of LfCut outputs, in place.
    void Add(double* samples, int frames) noexcept;
    void Store(ChannelProcessor& channel) const noexcept {
      channel.dirtShaper_ = shaper_;
      channel.dirtGate_ = gate_;
    }

   private:
    DirtShaper shaper_;
    DirtGate gate_;
    bool on_;
  };

  // The band's last gain divisor, which its meter shows as 1 / divisor; 1 (no
  // gain change) for an index that is not a band.
  double BandDivisor(int band) const noexcept;

 private:
  // The fullness cut is skipped (and its state frozen) unless "Fullness" is
  // below 0.
  bool CutInPath() const noexcept { return bands_.gain[kFullnessBand] < 1.0; }
  // y plus its gated and saturated copy.
  double WithDirt(double y) noexcept;

  BandLanes bands_;
  // Peaking cut at 300 Hz, in the path only while "Fullness" is below 0.
  Biquad fullnessCut_;
  // Its output subtracted from the signal forms the LF cut high-pass.
  OnePoleSmoother lfCut_;
  double lfCutHz_ = 0.0;
  DirtShaper dirtShaper_;
  DirtGate dirtGate_;
  bool dirtOn_ = false;
};

}  // namespace torvane
