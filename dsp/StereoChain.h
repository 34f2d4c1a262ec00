#pragma once

#include <cmath>

#include "dsp/ChannelProcessor.h"
#include "dsp/LookaheadLimiter.h"
#include "dsp/SimdPath.h"

namespace torvane {

// The effect's signal path from trimmed input to output: a channel processor
// per channel and the look-ahead limiter they share, run a block at a time by
// a kernel built for the widest instruction set the CPU has (chosen once, at
// construction). Owned by the effect; configured from its hooks through the
// accessors and run on the audio thread, all under the plug-in lock.
class StereoChain {
 public:
  // One block's buffers and gains.
  struct Block {
    const double* const* inputs;  // left and right
    double* const* outputs;       // left and right
    int frames;
    double trimGain;
    double outputFactor;
    // Mono runs the left channel alone and sends it to both outputs; the right
    // processor and the limiter's right delay then keep their state.
    bool stereo;
  };

  StereoChain() noexcept;

  ChannelProcessor& Left() noexcept { return left_; }
  ChannelProcessor& Right() noexcept { return right_; }
  LookaheadLimiter& Limiter() noexcept { return limiter_; }

  // Input samples that are not finite enter as silence. A processor or the
  // limiter whose output leaves the range of audio (finite but enormous input,
  // an absurd sample rate) starts afresh and that sample is silent; a state
  // that ran away without showing in the output is cleared after the block.
  void ProcessBlock(const Block& block) noexcept;

  // Beyond this a sample is no audio but a runaway state: 240 dB above full
  // scale, far above anything music reaches, far below where the chain's
  // arithmetic overflows or a host's single precision ends.
  static constexpr double kLargestAudio = 1e12;
  // False beyond kLargestAudio and for samples that are not a number.
  static bool IsAudio(double y) noexcept { return std::fabs(y) <= kLargestAudio; }

  // For tests and measurements: runs later blocks on the given path. A path
  // this CPU cannot run is refused (false) and the current one kept.
  bool UsePath(SimdPath path) noexcept;
  SimdPath Path() const noexcept { return path_; }

  using Kernel = void (*)(ChannelProcessor& left, ChannelProcessor& right, LookaheadLimiter& limiter,
                          const Block& block) noexcept;

 private:
  ChannelProcessor left_;
  ChannelProcessor right_;
  LookaheadLimiter limiter_;
  SimdPath path_ = SimdPath::kScalar;
  Kernel kernel_ = nullptr;
};

// The block kernels, one per instruction set, each in a file of its own
// compiled for it. A kernel is only called once IsSimdPathSupported says so.
namespace simd {
void RunScalar(ChannelProcessor& left, ChannelProcessor& right, LookaheadLimiter& limiter,
               const StereoChain::Block& block) noexcept;
void RunSse2(ChannelProcessor& left, ChannelProcessor& right, LookaheadLimiter& limiter,
             const StereoChain::Block& block) noexcept;
void RunAvx2(ChannelProcessor& left, ChannelProcessor& right, LookaheadLimiter& limiter,
             const StereoChain::Block& block) noexcept;
void RunAvx512(ChannelProcessor& left, ChannelProcessor& right, LookaheadLimiter& limiter,
               const StereoChain::Block& block) noexcept;
}  // namespace simd

}  // namespace torvane
