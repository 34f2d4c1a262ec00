// The block loop of StereoChain, written once for every lane type (see
// BandLanesStep.inl, which must be included first) and included the same way:
// inside a namespace of its own in each kernel's translation unit.
//
// A block runs in runs of frames, each a pass at a time: the bands of both
// channels, then each channel's LF cut and dirt layer, then the limiter, every
// pass with its state in locals. Each object's state still advances frame by
// frame in the plain chain's order, so the results are those of a frame loop,
// unless a sample leaves the range of audio: then the run is done again from
// the state before it (which the passes leave in place until the run has
// succeeded) through the checked frame loop, which mends it exactly where the
// plain chain does.

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
    current.Step(run, ChannelProcessor::Trimmed(input[0], trim));
  }

  // Steps frame i + 1's bands, if there is such a frame in the block.
  [[gnu::always_inline]] void StepNext(int i, int frames) noexcept {
    if (i + 1 < frames) next.Step(run, ChannelProcessor::Trimmed(input[i + 1], trim));
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

// The checked frame loop. Within a frame the seven bands of a channel run
// side by side in lanes, and the next frame's bands may start before this
// frame's sum (PipelinedChannel). The limiter takes each frame one iteration
// late, after the channels have started on the next frame: one more
// independent chain for the CPU to work on meanwhile.
template <typename L>
inline void RunChecked(ChannelProcessor& left, ChannelProcessor& right, LookaheadLimiter& limiter,
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

// The band lanes' outputs for a stretch of frames, to be summed in a loop of
// their own: with each frame's long chain from the band filter to its sum in
// the same loop, too few frames would be in flight.
template <typename L>
struct BandStretch {
  static constexpr int kFrames = 32;
  alignas(64) double leveled[kFrames][BandLanes::kLanes];
  alignas(64) double raw[kFrames][BandLanes::kLanes];

  [[gnu::always_inline]] void Step(const BandLanes& bands, LaneState<L>& state, int i, double x) noexcept {
    StepBandLanes<L>(bands, state, x, leveled[i], raw[i]);
  }
  double Sum(int i) const noexcept { return ChannelProcessor::Mix(leveled[i], raw[i]); }
};

inline bool AllAudio(const double* samples, int frames) noexcept {
  bool audio = true;
  for (int i = 0; i < frames; ++i) audio = audio & StereoChain::IsAudio(samples[i]);
  return audio;
}

// One run of at most kMaxPassFrames frames in passes; false, before anything
// is written to the outputs or to the state, when a sample left the range of
// audio.
template <typename L>
inline bool RunPasses(ChannelProcessor& left, ChannelProcessor& right, LookaheadLimiter& limiter,
                      const StereoChain::Block& run) noexcept {
  const int frames = run.frames;
  // Band inputs, then band sums less the LF cut, then each channel's output.
  // The passes with a short recursion run beside others: mono runs the
  // fullness cut with the bands, and each channel's LF cut runs as its band
  // sums come.
  alignas(64) double samplesLeft[kMaxPassFrames];
  alignas(64) double samplesRight[kMaxPassFrames];
  const double* const inLeft = run.inputs[0];
  const double trim = run.trimGain;
  ChannelProcessor::Stages stagesLeft(left);
  LaneState<L> bandsLeft(left.Bands());
  BandStretch<L> stretchLeft;
  double* const outLeft = run.outputs[0];
  double* const outRight = run.outputs[1];
  if (run.stereo) {
    // Both channels side by side in every pass, so that their recursions overlap.
    const double* const inRight = run.inputs[1];
    ChannelProcessor::Stages stagesRight(right);
    for (int i = 0; i < frames; ++i) {
      samplesLeft[i] = stagesLeft.BandInput(ChannelProcessor::Trimmed(inLeft[i], trim));
      samplesRight[i] = stagesRight.BandInput(ChannelProcessor::Trimmed(inRight[i], trim));
    }
    LaneState<L> bandsRight(right.Bands());
    BandStretch<L> stretchRight;
    for (int start = 0; start < frames; start += BandStretch<L>::kFrames) {
      const int n = std::min(BandStretch<L>::kFrames, frames - start);
      for (int i = 0; i < n; ++i) {
        stretchLeft.Step(left.Bands(), bandsLeft, i, samplesLeft[start + i]);
        stretchRight.Step(right.Bands(), bandsRight, i, samplesRight[start + i]);
      }
      for (int i = 0; i < n; ++i) {
        samplesLeft[start + i] = stagesLeft.LfCut(stretchLeft.Sum(i));
        samplesRight[start + i] = stagesRight.LfCut(stretchRight.Sum(i));
      }
    }
    ChannelProcessor::DirtStages dirtLeft(left), dirtRight(right);
    dirtLeft.Add(samplesLeft, frames);
    dirtRight.Add(samplesRight, frames);
    if (!AllAudio(samplesLeft, frames) || !AllAudio(samplesRight, frames)) return false;
    // The limiter keeps its state unless the run succeeds.
    if (!limiter.ProcessStereoRun(samplesLeft, samplesRight, frames, run.outputFactor, StereoChain::kLargestAudio)) {
      return false;
    }
    bandsLeft.Store(left.Bands());
    stagesLeft.Store(left);
    dirtLeft.Store(left);
    bandsRight.Store(right.Bands());
    stagesRight.Store(right);
    dirtRight.Store(right);
    // Written only now: the host's outputs may be its inputs.
    for (int i = 0; i < frames; ++i) outLeft[i] = samplesLeft[i];
    for (int i = 0; i < frames; ++i) outRight[i] = samplesRight[i];
  } else {
    for (int start = 0; start < frames; start += BandStretch<L>::kFrames) {
      const int n = std::min(BandStretch<L>::kFrames, frames - start);
      for (int i = 0; i < n; ++i) {
        const double x = stagesLeft.BandInput(ChannelProcessor::Trimmed(inLeft[start + i], trim));
        stretchLeft.Step(left.Bands(), bandsLeft, i, x);
      }
      for (int i = 0; i < n; ++i) samplesLeft[start + i] = stagesLeft.LfCut(stretchLeft.Sum(i));
    }
    ChannelProcessor::DirtStages dirtLeft(left);
    dirtLeft.Add(samplesLeft, frames);
    if (!AllAudio(samplesLeft, frames)) return false;
    if (!limiter.ProcessMonoRun(samplesLeft, frames, run.outputFactor, StereoChain::kLargestAudio)) return false;
    bandsLeft.Store(left.Bands());
    stagesLeft.Store(left);
    dirtLeft.Store(left);
    for (int i = 0; i < frames; ++i) outLeft[i] = outRight[i] = samplesLeft[i];
  }
  return true;
}

template <typename L>
inline void RunBlock(ChannelProcessor& left, ChannelProcessor& right, LookaheadLimiter& limiter,
                     const StereoChain::Block& block) noexcept {
  for (int start = 0; start < block.frames; start += kMaxPassFrames) {
    // Mono never reads the right input.
    const double* inputs[] = {block.inputs[0] + start, block.stereo ? block.inputs[1] + start : nullptr};
    double* outputs[] = {block.outputs[0] + start, block.outputs[1] + start};
    const StereoChain::Block run{inputs, outputs, std::min(kMaxPassFrames, block.frames - start), block.trimGain,
                                 block.outputFactor, block.stereo};
    if (!RunPasses<L>(left, right, limiter, run)) RunChecked<L>(left, right, limiter, run);
  }
}
