// The block loop of StereoChain, written once for every lane type (see
// BandLanesStep.inl, which must be included first) and included the same way:
// inside a namespace of its own in each kernel's translation unit.
//
// Frame by frame, exactly as the plain chain runs: each channel, then the
// limiter. Within a frame the seven bands of a channel run side by side in
// lanes, which changes no result.

// A sample that is not a number (a broken upstream plug-in, a damaged file)
// enters as silence.
inline double Trimmed(double x, double trimGain) noexcept { return std::isfinite(x) ? x * trimGain : 0.0; }

// The output of a processor whose state ran away: the processor starts afresh
// and the sample is silent.
inline double Recovered(double y, ChannelProcessor& channel) noexcept {
  if (std::isfinite(y)) return y;
  channel.ClearState();
  return 0.0;
}

inline double Limited(double y, LookaheadLimiter& limiter) noexcept {
  if (std::isfinite(y)) return y;
  limiter.ClearState();
  return 0.0;
}

// The bands of a channel, stepped together in lanes.
template <typename L>
struct BandOutputs {
  alignas(64) double leveled[BandLanes::kLanes];
  alignas(64) double raw[BandLanes::kLanes];

  // Inlined so that the outputs stay in vector registers on their way to the sum.
  [[gnu::always_inline]] BandOutputs(ChannelProcessor& channel, double x) noexcept {
    StepBandLanes<L>(channel.Bands(), channel.BandInput(x), leveled, raw);
  }
  double Finish(ChannelProcessor& channel) noexcept { return Recovered(channel.Finish(leveled, raw), channel); }
};

template <typename L>
inline void RunBlock(ChannelProcessor& left, ChannelProcessor& right, LookaheadLimiter& limiter,
                     const StereoChain::Block& block) noexcept {
  const double* inLeft = block.inputs[0];
  const double* inRight = block.inputs[1];
  double* outLeft = block.outputs[0];
  double* outRight = block.outputs[1];
  const double trim = block.trimGain;
  const double factor = block.outputFactor;
  if (block.stereo) {
    for (int i = 0; i < block.frames; ++i) {
      // Both channels' bands first, then both sums: the two channels share no
      // state, and their long chains of dependent steps overlap this way.
      BandOutputs<L> bandsLeft(left, Trimmed(inLeft[i], trim));
      BandOutputs<L> bandsRight(right, Trimmed(inRight[i], trim));
      const double l = bandsLeft.Finish(left);
      const double r = bandsRight.Finish(right);
      limiter.ProcessStereo(l, r);
      outLeft[i] = Limited(limiter.OutLeft() * factor, limiter);
      outRight[i] = Limited(limiter.OutRight() * factor, limiter);
    }
  } else {
    for (int i = 0; i < block.frames; ++i) {
      limiter.ProcessMono(BandOutputs<L>(left, Trimmed(inLeft[i], trim)).Finish(left));
      outLeft[i] = outRight[i] = Limited(limiter.OutLeft() * factor, limiter);
    }
  }
}
