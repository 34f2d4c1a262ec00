// The block loop of StereoChain, written once for every lane type (see
// BandLanesStep.inl, which must be included first) and included the same way:
// inside a namespace of its own in each kernel's translation unit.
//
// Every channel's and the limiter's state advances frame by frame in the
// plain chain's order; within a frame the seven bands of a channel run side by
// side in lanes, and the next frame's bands may start before this frame's sum
// (PipelinedChannel). Neither changes a result.

// A sample that is not a number (a broken upstream plug-in, a damaged file)
// enters as silence.
inline double Trimmed(double x, double trimGain) noexcept { return std::isfinite(x) ? x * trimGain : 0.0; }

// An output sample beyond audio (the limiter's state ran away): the limiter
// starts afresh and the sample is silent.
inline double Limited(double y, LookaheadLimiter& limiter) noexcept {
  if (StereoChain::IsAudio(y)) return y;
  limiter.ClearState();
  return 0.0;
}

// A channel whose band state is held in registers for the block.
template <typename L>
struct ChannelRun {
  ChannelProcessor& channel;
  LaneState<L> state{channel.Bands()};

  ~ChannelRun() { state.Store(channel.Bands()); }
};

// The bands of a channel for one frame, stepped together in lanes.
template <typename L>
struct BandOutputs {
  alignas(64) double leveled[BandLanes::kLanes];
  alignas(64) double raw[BandLanes::kLanes];

  // Inlined so that the outputs stay in vector registers on their way to the sum.
  [[gnu::always_inline]] void Step(ChannelRun<L>& run, double x) noexcept {
    StepBandLanes<L>(run.channel.Bands(), run.state, run.channel.BandInput(x), leveled, raw);
  }
};

// The next frame's bands are stepped before this frame's sum, LF cut, dirt
// and limiter: the two share no state, and in this order the CPU works on the
// next frame's long chain of dependent steps while this frame's divisions
// and sums complete. Only a runaway state couples them: the processor then
// starts afresh before the next frame, so that frame's bands step again.
template <typename L>
struct PipelinedChannel {
  ChannelRun<L> run;
  const double* input;
  double trim;
  BandOutputs<L> current;
  BandOutputs<L> next;

  PipelinedChannel(ChannelProcessor& channel, const double* in, double trimGain) noexcept
      : run{channel}, input(in), trim(trimGain) {
    current.Step(run, Trimmed(input[0], trim));
  }

  // Steps frame i + 1's bands, if there is such a frame in the block.
  [[gnu::always_inline]] void StepNext(int i, int frames) noexcept {
    if (i + 1 < frames) next.Step(run, Trimmed(input[i + 1], trim));
  }

  // Frame i's output; then frame i + 1 becomes the current one.
  [[gnu::always_inline]] double Output(int i, int frames) noexcept {
    double y = run.channel.Finish(current.leveled, current.raw);
    if (!StereoChain::IsAudio(y)) {
      y = 0.0;
      run.channel.ClearState();
      run.state.Load(run.channel.Bands());
      StepNext(i, frames);
    }
    current = next;
    return y;
  }
};

// The limiter and the output factor, writing frame i of the outputs.
struct LimitedOutputs {
  LookaheadLimiter& limiter;
  double factor;
  double* left;
  double* right;

  [[gnu::always_inline]] void Stereo(int i, double processedLeft, double processedRight) noexcept {
    limiter.ProcessStereo(processedLeft, processedRight);
    left[i] = Limited(limiter.OutLeft() * factor, limiter);
    right[i] = Limited(limiter.OutRight() * factor, limiter);
  }
  [[gnu::always_inline]] void Mono(int i, double processed) noexcept {
    limiter.ProcessMono(processed);
    left[i] = right[i] = Limited(limiter.OutLeft() * factor, limiter);
  }
};

// The limiter takes each frame one iteration late, after the channels have
// started on the next frame: one more independent chain for the CPU to work
// on meanwhile. Its state still advances frame by frame.
template <typename L>
inline void RunBlock(ChannelProcessor& left, ChannelProcessor& right, LookaheadLimiter& limiter,
                     const StereoChain::Block& block) noexcept {
  const int frames = block.frames;
  LimitedOutputs out{limiter, block.outputFactor, block.outputs[0], block.outputs[1]};
  PipelinedChannel<L> l(left, block.inputs[0], block.trimGain);
  if (block.stereo) {
    PipelinedChannel<L> r(right, block.inputs[1], block.trimGain);
    double pendingLeft = 0.0, pendingRight = 0.0;
    for (int i = 0; i < frames; ++i) {
      l.StepNext(i, frames);
      r.StepNext(i, frames);
      const double processedLeft = l.Output(i, frames);
      const double processedRight = r.Output(i, frames);
      if (i > 0) out.Stereo(i - 1, pendingLeft, pendingRight);
      pendingLeft = processedLeft;
      pendingRight = processedRight;
    }
    out.Stereo(frames - 1, pendingLeft, pendingRight);
  } else {
    double pending = 0.0;
    for (int i = 0; i < frames; ++i) {
      l.StepNext(i, frames);
      const double processed = l.Output(i, frames);
      if (i > 0) out.Mono(i - 1, pending);
      pending = processed;
    }
    out.Mono(frames - 1, pending);
  }
}
