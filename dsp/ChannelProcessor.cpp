#include "dsp/ChannelProcessor.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "dsp/DspCommon.h"
#include "dsp/ToneGain.h"

namespace torvane {

namespace {
// The plain path: the band lanes stepped one double at a time.
#include "dsp/BandLanesStep.inl"

// How each band is split off, leveled and weighted.
struct BandDesign {
  double centreHz;
  double q;
  // Attack of the band's envelope with "Transients" off and on; on lengthens
  // it so that note onsets pass before the band is leveled.
  double attackMs;
  double transientsAttackMs;
  // Added to the release base that "Process" sets.
  double extraReleaseMs;
  // The mid bands 3 and 4 are leveled half as deep.
  bool halfDepth;
  // The treble band's detector is driven twice as hard.
  double driveFactor;
  // Fixed weight of the band's tone gain.
  double weight;
};

constexpr BandDesign kBandDesigns[ChannelProcessor::kBands] = {
    {30.0, 1.0, 20.0, 30.0, 30.0, false, 1.0, 0.708},
    {80.0, 2.0, 20.0, 30.0, 30.0, false, 1.0, 1.0},
    {120.0, 2.0, 10.0, 20.0, 30.0, false, 1.0, 1.0},
    {300.0, 1.0, 5.0, 10.0, 200.0, true, 1.0, 1.0},
    {500.0, 2.0, 5.0, 15.0, 20.0, true, 1.0, 1.19},
    {1800.0, 1.0, 0.0, 5.0, 10.0, false, 1.0, 1.41},
    {4500.0, 1.0, 0.0, 1.0, 0.0, false, 2.0, 1.68},
};

constexpr double kFullnessCutHz = 300.0;
constexpr double kFullnessCutQ = 1.0;

// "Process" (0..1) drives the band detectors from 1 to 20 times the level.
constexpr double kDriveSpan = 19.0;
// ... and lowers the divisor offset from 1 to 1 - 0.24 sqrt(10): quieter
// material is lifted further. The factor is applied as tuned, 3 / 10 x 0.8,
// step by step, so that the result keeps its exact bits.
double DivisorOffset(double process) noexcept {
  return 1.0 - std::pow(10.0 * process, 0.5) * 3.0 / 10.0 * 0.8;
}

bool IsBand(int band) { return band >= 0 && band < ChannelProcessor::kBands; }
}  // namespace

void ChannelProcessor::Reset(double sampleRate) noexcept {
  if (!IsUsableSampleRate(sampleRate)) return;
  bands_.Reset(sampleRate);
  fullnessCut_.SetSampleRate(sampleRate);
  for (int b = 0; b < kBands; ++b) bands_.DesignBandpass(b, kBandDesigns[b].centreHz, kBandDesigns[b].q);
  dirtShaper_.Reset(sampleRate);
  dirtGate_.Reset(sampleRate);
  lfCut_.SetSampleRate(sampleRate);
}

void ChannelProcessor::SetupBands(double process, int transients) noexcept {
  const double drive = process * kDriveSpan + 1.0;
  const double depth = DivisorOffset(process);
  const bool longAttack = transients != 0;
  const double releaseBase = BandAndLimiterReleaseMs(process);
  for (int b = 0; b < kBands; ++b) {
    const BandDesign& design = kBandDesigns[b];
    bands_.SetTimes(b, longAttack ? design.transientsAttackMs : design.attackMs, releaseBase + design.extraReleaseMs);
    bands_.drive[b] = drive * design.driveFactor;
    bands_.offset[b] = design.halfDepth ? (depth + 1.0) * 0.5 : depth;
  }
}

void ChannelProcessor::SetTone(int band, double value) noexcept {
  if (!IsBand(band)) return;
  bands_.gain[band] = ToneGain(value) * kBandDesigns[band].weight;
  if (band == kFullnessBand) {
    // The cut is |v| dB while the band's gain drops 2 |v| dB; positive values
    // only raise the band.
    fullnessCut_.DesignPeaking(kFullnessCutHz, kFullnessCutQ, std::min(value, 0.0));
  }
}

void ChannelProcessor::SetDirt(double amount) noexcept {
  dirtOn_ = amount > 0.0;
  dirtShaper_.SetAmount(amount);
}

void ChannelProcessor::SetLfCut(double hz) noexcept {
  if (hz != lfCutHz_) lfCut_.Clear();
  lfCutHz_ = hz;
  lfCut_.SetCorner(hz);
}

void ChannelProcessor::ClearState() noexcept {
  bands_.ClearState();
  fullnessCut_.ClearHistory();
  lfCut_.Clear();
  dirtShaper_.ClearState();
  dirtGate_.ClearState();
}

bool ChannelProcessor::HasFiniteState() const noexcept {
  return bands_.HasFiniteState() && fullnessCut_.HasFiniteState() && lfCut_.HasFiniteState() &&
         dirtShaper_.HasFiniteState() && dirtGate_.HasFiniteState();
}

double ChannelProcessor::BandDivisor(int band) const noexcept {
  return IsBand(band) ? bands_.lastDivisor[band] : 1.0;
}

double ChannelProcessor::WithDirt(double y) noexcept {
  return dirtShaper_.ProcessSample(dirtGate_.ProcessSample(y)) + y;
}

double ChannelProcessor::ProcessSample(double x) noexcept {
  double leveled[BandLanes::kLanes];
  double raw[BandLanes::kLanes];
  LaneState<double> state(bands_);
  StepBandLanes<double>(bands_, state, BandInput(x), leveled, raw);
  state.Store(bands_);
  return Finish(leveled, raw);
}

}  // namespace torvane
