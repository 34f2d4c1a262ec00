#pragma once

namespace torvane {

class ChannelProcessor;

// The effect's signal path written out plainly, for the benchmark's ratios:
// one sample at a time, one band after another, scalar code as a straight
// reading of the chain gives it. Its coefficients are copied from a channel
// and a limiter set up like the benchmark's; its arithmetic is its own.
// Owned and run by the benchmark's thread.
class PlainChain {
 public:
  // The benchmark's settings: Process 0.5, Transients off, the given Fullness
  // tone (raw value) and Dirt amount, LF cut at lfCutHz.
  PlainChain(ChannelProcessor& configured, double sampleRate, double fullnessTone, double dirt, double lfCutHz);

  void Process(const double* inLeft, const double* inRight, double* outLeft, double* outRight, int frames,
               double trimGain, double outputFactor, bool stereo);

  // The pieces, each a plain record with its coefficients and state.
  struct Filter {
    double b0, b1, b2, a1, a2;
    double x1, x2, y1, y2;
    double Run(double x) {
      double y = x1 * b1 + x * b0;
      y = y + b2 * x2;
      y = y - a1 * y1;
      y = y - a2 * y2;
      x2 = x1;
      x1 = x;
      y2 = y1;
      y1 = y;
      return y;
    }
  };
  struct Stage {
    double attackCoef, attackGain, releaseCoef, releaseGain;
    double state;
    double Follow(double u) {
      const double rise = state * attackCoef + u * attackGain;
      const double fall = state * releaseCoef + u * releaseGain;
      state = u > state ? rise : fall;
      return state;
    }
  };
  struct Channel {
    Filter band[7];
    Stage stage[7][3];
    double drive[7], offset[7], gain[7];
    bool cutInPath;
    Filter fullnessCut;
    double lfCoef, lfState;
    // Dirt gate and shaper.
    double gateCoefA, gateCoefB, gateA, gateB, gateGain;
    int gateCounter;
    Filter inputHighpass, inputDip, outputLowpass, outputAllpass, outputHighpass;
    double meanSquare, drive0, rmsCoef;
    int shaperCounter;
  };

 private:
  double ChannelSample(Channel& c, double x);

  Channel channels_[2];
  bool dirtOn_;
  double dirt_;
  // Limiter.
  double inputScale_, detectorCoef_, detector_;
  Stage limiterStage_[3];
  double delay_[2][65];
  int position_;
};

}  // namespace torvane
