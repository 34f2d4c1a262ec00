#include "dsp/ChannelProcessor.h"

#include <algorithm>
#include <cmath>

#include "dsp/DspCommon.h"

namespace torvane {

namespace {
// How each band is split off and leveled.
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
};

constexpr BandDesign kBandDesigns[ChannelProcessor::kBands] = {
    {30.0, 1.0, 20.0, 30.0, 30.0, false, 1.0},
    {80.0, 2.0, 20.0, 30.0, 30.0, false, 1.0},
    {120.0, 2.0, 10.0, 20.0, 30.0, false, 1.0},
    {300.0, 1.0, 5.0, 10.0, 200.0, true, 1.0},
    {500.0, 2.0, 5.0, 15.0, 20.0, true, 1.0},
    {1800.0, 1.0, 0.0, 5.0, 10.0, false, 1.0},
    {4500.0, 1.0, 0.0, 1.0, 0.0, false, 2.0},
};

constexpr double kFullnessCutHz = 300.0;
constexpr double kFullnessCutQ = 1.0;

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
  const double drive = process * 19.0 + 1.0;
  // 1 at "Process" 0 down to about 0.241 at full "Process": a lower offset
  // lifts quiet material further.
  const double depth = 1.0 - std::pow(10.0 * process, 0.5) * 3.0 / 10.0 * 0.8;
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

void ChannelProcessor::SetFullness(double value) noexcept {
  bandGain_[kFullnessBand] = std::pow(10.0, 2.0 * value / 20.0);
  // The cut is |v| dB while the band's gain drops 2 |v| dB; positive values
  // only raise the band.
  fullnessCut_.DesignPeaking(kFullnessCutHz, kFullnessCutQ, std::min(value, 0.0));
}

void ChannelProcessor::SetBandGain(int band, double gain) noexcept {
  if (!IsBand(band) || band == kFullnessBand) return;
  bandGain_[band] = gain;
}

void ChannelProcessor::SetDirt(double amount) noexcept {
  dirtOn_ = amount > 0.0;
  dirtShaper_.SetAmount(amount);
}

void ChannelProcessor::SetLfCut(double hz) noexcept {
  lfCut_.Clear();
  lfCut_.SetCorner(hz);
}

double ChannelProcessor::BandDivisor(int band) const noexcept {
  return IsBand(band) ? bandDynamics_[band].LastDivisor() : 1.0;
}

double ChannelProcessor::ProcessSample(double x) noexcept {
  // Skipped (and its state frozen) unless "Fullness" is below 0.
  if (bandGain_[kFullnessBand] < 1.0) x = fullnessCut_.ProcessSample(x);

  double band[kBands];
  for (int b = 0; b < kBands; ++b) band[b] = bandFilter_[b].ProcessSample(x);

  // The subtractions take the raw band-pass outputs, not the leveled ones,
  // to thin the overlap of neighbouring bands.
  double mix = bandDynamics_[0].ProcessSample(band[0]) * bandGain_[0] - 0.25 * band[1];
  mix = bandDynamics_[1].ProcessSample(band[1]) * bandGain_[1] + mix;
  mix = bandDynamics_[2].ProcessSample(band[2]) * bandGain_[2] + mix;
  mix = bandDynamics_[3].ProcessSample(band[3]) * bandGain_[3] + mix;
  mix = (bandDynamics_[4].ProcessSample(band[4]) * bandGain_[4] - 0.25 * band[3]) + mix;
  mix = (bandDynamics_[5].ProcessSample(band[5]) * bandGain_[5] - 0.75 * band[4]) + mix;
  mix = bandDynamics_[6].ProcessSample(band[6]) * bandGain_[6] + mix;

  const double y = mix - lfCut_.Process(mix);
  if (!dirtOn_) return y;
  return dirtShaper_.ProcessSample(dirtGate_.ProcessSample(y)) + y;
}

}  // namespace torvane
