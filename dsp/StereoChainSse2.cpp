// The block kernel for SSE2 (every x86-64 CPU): the band lanes in vectors of two doubles.
#include <cmath>
#include <cstring>

#include "dsp/StereoChain.h"

namespace torvane {
namespace simd {
namespace {
using Lanes = double __attribute__((vector_size(16)));
#include "dsp/BandLanesStep.inl"
#include "dsp/StereoChainKernel.inl"
}  // namespace

void RunSse2(ChannelProcessor& left, ChannelProcessor& right, LookaheadLimiter& limiter,
            const StereoChain::Block& block) noexcept {
  RunBlock<Lanes>(left, right, limiter, block);
}

}  // namespace simd
}  // namespace torvane

