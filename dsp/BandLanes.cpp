#include "dsp/BandLanes.h"

#include "dsp/Biquad.h"
#include "dsp/EnvelopeStage.h"

namespace torvane {

namespace {
// Copies a stage designed by the scalar envelope into one lane.
void SetLane(BandLanes::Stage& stage, int band, const EnvelopeStage& design) {
  stage.attackCoef[band] = design.AttackCoef();
  stage.attackGain[band] = design.AttackGain();
  stage.releaseCoef[band] = design.ReleaseCoef();
  stage.releaseGain[band] = design.ReleaseGain();
}

template <typename... Arrays>
void Fill(double value, Arrays&... arrays) {
  for (double* lanes : {arrays...}) {
    for (int lane = 0; lane < BandLanes::kLanes; ++lane) lanes[lane] = value;
  }
}

template <typename... Arrays>
bool AllLanesFinite(const Arrays&... arrays) {
  double probe = 0.0;
  for (const double* lanes : {arrays...}) {
    for (int lane = 0; lane < BandLanes::kLanes; ++lane) probe += 0.0 * lanes[lane];
  }
  return probe == 0.0;
}
}  // namespace

void BandLanes::Reset(double hz) noexcept {
  sampleRate = hz;
  EnvelopeStage smoothing;
  smoothing.SetSampleRate(hz);
  smoothing.SetTimes(0.0, kSmoothingReleaseMs);
  for (int b = 0; b < kBands; ++b) {
    SetLane(stages[1], b, smoothing);
    SetLane(stages[2], b, smoothing);
  }
}

void BandLanes::DesignBandpass(int band, double hz, double q) noexcept {
  Biquad design;
  design.SetSampleRate(sampleRate);
  design.DesignBandpass(hz, q);
  const Biquad::Coefficients& c = design.GetCoefficients();
  b0[band] = c.b0;
  b1[band] = c.b1;
  b2[band] = c.b2;
  a1[band] = c.a1;
  a2[band] = c.a2;
}

void BandLanes::SetTimes(int band, double attackMs, double releaseMs) noexcept {
  EnvelopeStage design;
  design.SetSampleRate(sampleRate);
  design.SetTimes(attackMs, releaseMs);
  SetLane(stages[0], band, design);
}

void BandLanes::ClearState() noexcept {
  Fill(0.0, x1, x2, y1, y2, stages[0].state, stages[1].state, stages[2].state);
  Fill(1.0, lastDivisor);
}

bool BandLanes::HasFiniteState() const noexcept {
  return AllLanesFinite(x1, x2, y1, y2, stages[0].state, stages[1].state, stages[2].state, lastDivisor);
}

}  // namespace torvane
