#include "PlainChain.h"

#include <algorithm>
#include <cmath>

#include "dsp/Biquad.h"
#include "dsp/ChannelProcessor.h"
#include "dsp/DspCommon.h"
#include "dsp/EnvelopeStage.h"
#include "dsp/OnePoleSmoother.h"

namespace torvane {

namespace {
PlainChain::Filter Designed(double sampleRate, void (Biquad::*design)(double, double), double hz, double q) {
  Biquad b;
  b.SetSampleRate(sampleRate);
  (b.*design)(hz, q);
  const Biquad::Coefficients& c = b.GetCoefficients();
  return {c.b0, c.b1, c.b2, c.a1, c.a2, 0, 0, 0, 0};
}

double Release(double sampleRate, double ms) {
  EnvelopeStage e;
  e.SetSampleRate(sampleRate);
  e.SetTimes(0.0, ms);
  return e.ReleaseCoef();
}

double Corner(double sampleRate, double hz) {
  OnePoleSmoother s;
  s.SetSampleRate(sampleRate);
  s.SetCorner(hz);
  return s.Coefficient();
}
}  // namespace

PlainChain::PlainChain(ChannelProcessor& configured, double fs, double fullnessTone, double dirt,
                       double lfCutHz)
    : dirtOn_(dirt > 0.0), dirt_(dirt) {
  const BandLanes& s = configured.Bands();
  for (Channel& c : channels_) {
    for (int b = 0; b < 7; ++b) {
      c.band[b] = {s.b0[b], s.b1[b], s.b2[b], s.a1[b], s.a2[b], 0, 0, 0, 0};
      for (int k = 0; k < 3; ++k) {
        const BandLanes::Stage& d = s.stages[k];
        c.stage[b][k] = {d.attackCoef[b], d.attackGain[b], d.releaseCoef[b], d.releaseGain[b], 0};
      }
      c.drive[b] = s.drive[b];
      c.offset[b] = s.offset[b];
      c.gain[b] = s.gain[b];
    }
    c.cutInPath = s.gain[3] < 1.0;
    Biquad cut;
    cut.SetSampleRate(fs);
    cut.DesignPeaking(300.0, 1.0, std::min(fullnessTone, 0.0));
    const Biquad::Coefficients& k = cut.GetCoefficients();
    c.fullnessCut = {k.b0, k.b1, k.b2, k.a1, k.a2, 0, 0, 0, 0};
    c.lfCoef = Corner(fs, lfCutHz);
    c.lfState = 0;
    c.gateCoefA = Release(fs, 10.0);
    c.gateCoefB = Release(fs, 3.0);
    c.gateA = c.gateB = c.gateGain = 0;
    c.gateCounter = 1;
    c.inputHighpass = Designed(fs, &Biquad::DesignHighpass, 2000.0, 1.0);
    c.outputLowpass = Designed(fs, &Biquad::DesignLowpass, 1000.0, 0.5);
    c.outputAllpass = Designed(fs, &Biquad::DesignAllpass, 1000.0, 0.5);
    c.outputHighpass = Designed(fs, &Biquad::DesignHighpass, 600.0, 0.9);
    Biquad dip;
    dip.SetSampleRate(fs);
    dip.DesignPeaking(1200.0, 2.0, -20.0);
    const Biquad::Coefficients& d = dip.GetCoefficients();
    c.inputDip = {d.b0, d.b1, d.b2, d.a1, d.a2, 0, 0, 0, 0};
    c.meanSquare = c.drive0 = 0;
    c.rmsCoef = 1.0 - std::exp(-1.0 / (fs * 0.003));
    c.shaperCounter = 0;
  }
  inputScale_ = 0.5 * (1.68 - 1.0) + 1.0;
  detectorCoef_ = Corner(fs, 1000.0);
  detector_ = 0;
  const double releases[] = {BandAndLimiterReleaseMs(0.5), kSmoothingReleaseMs, kSmoothingReleaseMs};
  for (int k = 0; k < 3; ++k) {
    const double r = Release(fs, releases[k]);
    limiterStage_[k] = {0.0, 1.0, r, 1.0 - r, 0};
  }
  std::fill(&delay_[0][0], &delay_[0][0] + 2 * 65, 0.0);
  position_ = 0;
}

double PlainChain::ChannelSample(Channel& c, double x) {
  if (c.cutInPath) x = c.fullnessCut.Run(x);
  double leveled[7], raw[7];
  for (int b = 0; b < 7; ++b) {
    const double y = c.band[b].Run(x);
    double e = std::fabs(y) * c.drive[b];
    for (Stage& stage : c.stage[b]) e = stage.Follow(e);
    raw[b] = y;
    leveled[b] = y / (e + c.offset[b]) * c.gain[b];
  }
  double mix = leveled[0] - 0.25 * raw[1];
  mix = leveled[1] + mix;
  mix = leveled[2] + mix;
  mix = leveled[3] + mix;
  mix = (leveled[4] - 0.25 * raw[3]) + mix;
  mix = (leveled[5] - 0.75 * raw[4]) + mix;
  mix = leveled[6] + mix;
  c.lfState = (mix - c.lfState) * c.lfCoef + c.lfState;
  const double y = mix - c.lfState;
  if (!dirtOn_) return y;

  if (c.gateCounter++ >= 10) {
    const double level = std::min(std::fabs(y), 0.01) / 0.01;
    c.gateA = std::max(level, c.gateCoefA * c.gateA);
    c.gateB = std::max(c.gateA, c.gateCoefB * c.gateB);
    c.gateGain = c.gateB;
    c.gateCounter = 1;
  }
  double z = c.inputHighpass.Run(y * c.gateGain);
  z = c.inputDip.Run(z);
  if (c.shaperCounter++ >= 100) {
    c.meanSquare = (z * z - c.meanSquare) * c.rmsCoef + c.meanSquare;
    c.drive0 = 0.0001 / (std::sqrt(c.meanSquare) + 0.0001) * 100.0;
    c.drive0 = std::min(c.drive0, dirt_ * 15.0 + 5.0);
    c.shaperCounter = 1;
  }
  z = std::atan(z * c.drive0 * dirt_ * 800.0);
  z = z * (dirt_ * 0.01 + 0.03);
  z = c.outputLowpass.Run(z);
  z = c.outputAllpass.Run(z);
  z = c.outputHighpass.Run(z);
  return z + y;
}

void PlainChain::Process(const double* inLeft, const double* inRight, double* outLeft, double* outRight, int frames,
                         double trimGain, double outputFactor, bool stereo) {
  for (int i = 0; i < frames; ++i) {
    const double l = ChannelSample(channels_[0], inLeft[i] * trimGain) * inputScale_;
    const double r = stereo ? ChannelSample(channels_[1], inRight[i] * trimGain) * inputScale_ : 0.0;
    const double level = stereo ? std::max(std::fabs(r), std::fabs(l)) : std::fabs(l);
    detector_ = (level - detector_) * detectorCoef_ + detector_;
    double e = detector_;
    for (Stage& stage : limiterStage_) e = stage.Follow(e);
    const double divisor = e + 1.0;
    delay_[0][position_] = l;
    delay_[1][position_] = r;
    position_ = position_ < 64 ? position_ + 1 : 0;
    outLeft[i] = delay_[0][position_] / divisor * outputFactor;
    outRight[i] = stereo ? delay_[1][position_] / divisor * outputFactor : outLeft[i];
  }
}

}  // namespace torvane
