#include "dsp/ChannelProcessor.h"

#include <algorithm>
#include <cmath>

#include "dsp/DspCommon.h"
#include "dsp/ToneGain.h"

namespace torvane {

namespace {
constexpr int kNoBand = -1;

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
  // The raw (unleveled) band subtracted with this band, and how much of it:
  // it thins the overlap of neighbouring bands.
  int thinnedBy;
  double thinning;
};

constexpr BandDesign kBandDesigns[ChannelProcessor::kBands] = {
    {30.0, 1.0, 20.0, 30.0, 30.0, false, 1.0, 0.708, 1, 0.25},
    {80.0, 2.0, 20.0, 30.0, 30.0, false, 1.0, 1.0, kNoBand, 0.0},
    {120.0, 2.0, 10.0, 20.0, 30.0, false, 1.0, 1.0, kNoBand, 0.0},
    {300.0, 1.0, 5.0, 10.0, 200.0, true, 1.0, 1.0, kNoBand, 0.0},
    {500.0, 2.0, 5.0, 15.0, 20.0, true, 1.0, 1.19, 3, 0.25},
    {1800.0, 1.0, 0.0, 5.0, 10.0, false, 1.0, 1.41, 4, 0.75},
    {4500.0, 1.0, 0.0, 1.0, 0.0, false, 2.0, 1.68, kNoBand, 0.0},
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
  for (Biquad& filter : bandFilter_) filter.SetSampleRate(sampleRate);
  fullnessCut_.SetSampleRate(sampleRate);
  for (int b = 0; b < kBands; ++b) {
    bandFilter_[b].DesignBandpass(kBandDesigns[b].centreHz, kBandDesigns[b].q);
  }
  for (BandDynamics& dynamics : bandDynamics_) dynamics.Reset(sampleRate);
  dirtShaper_.Reset(sampleRate);
  dirtGate_.Reset(sampleRate);
  lfCut_.SetSampleRate(sampleRate);
}

void ChannelProcessor::SetupBands(double process, int transients) noexcept {
  const double drive = process * kDriveSpan + 1.0;
  const double depth = DivisorOffset(process);
  const bool longAttack = transients != 0;
  const double releaseBase = ReleaseBaseMs(process);
  for (int b = 0; b < kBands; ++b) {
    const BandDesign& design = kBandDesigns[b];
    BandDynamics& dynamics = bandDynamics_[b];
    dynamics.SetTimes(longAttack ? design.transientsAttackMs : design.attackMs,
                      releaseBase + design.extraReleaseMs);
    dynamics.SetDrive(drive * design.driveFactor);
    dynamics.SetOffset(design.halfDepth ? (depth + 1.0) * 0.5 : depth);
  }
}

void ChannelProcessor::SetTone(int band, double value) noexcept {
  if (!IsBand(band)) return;
  bandGain_[band] = ToneGain(value) * kBandDesigns[band].weight;
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
  for (Biquad& filter : bandFilter_) filter.ClearHistory();
  fullnessCut_.ClearHistory();
  lfCut_.Clear();
  for (BandDynamics& dynamics : bandDynamics_) dynamics.ClearState();
  dirtShaper_.ClearState();
  dirtGate_.ClearState();
}

bool ChannelProcessor::HasFiniteState() const noexcept {
  bool finite = fullnessCut_.HasFiniteState() && lfCut_.HasFiniteState() && dirtShaper_.HasFiniteState() &&
                dirtGate_.HasFiniteState();
  for (int b = 0; b < kBands; ++b) {
    finite = finite && bandFilter_[b].HasFiniteState() && bandDynamics_[b].HasFiniteState();
  }
  return finite;
}

double ChannelProcessor::BandDivisor(int band) const noexcept {
  return IsBand(band) ? bandDynamics_[band].LastDivisor() : 1.0;
}

double ChannelProcessor::ProcessSample(double x) noexcept {
  // Skipped (and its state frozen) unless "Fullness" is below 0.
  if (bandGain_[kFullnessBand] < 1.0) x = fullnessCut_.ProcessSample(x);

  double band[kBands];
  for (int b = 0; b < kBands; ++b) band[b] = bandFilter_[b].ProcessSample(x);

  // Summed in band order; the thinning takes the raw band-pass outputs, not
  // the leveled ones.
  double mix = 0.0;
  for (int b = 0; b < kBands; ++b) {
    const BandDesign& design = kBandDesigns[b];
    double term = bandDynamics_[b].ProcessSample(band[b]) * bandGain_[b];
    if (design.thinnedBy != kNoBand) term = term - design.thinning * band[design.thinnedBy];
    mix = b == 0 ? term : term + mix;
  }

  const double y = mix - lfCut_.Process(mix);
  if (!dirtOn_) return y;
  return dirtShaper_.ProcessSample(dirtGate_.ProcessSample(y)) + y;
}

}  // namespace torvane
