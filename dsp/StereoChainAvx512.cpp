// The block kernel for AVX-512: one channel's band lanes in one vector of eight doubles.
#include <cmath>
#include <cstring>

#include "dsp/StereoChain.h"
// Only this file's own code is built for the instruction set: every header is
// included above, so inline functions shared with other files keep the
// baseline code that any CPU runs.
#pragma GCC push_options
#pragma GCC target("avx512f")

namespace torvane {
namespace simd {
namespace {
using Lanes = double __attribute__((vector_size(64)));
#include "dsp/BandLanesStep.inl"
#include "dsp/StereoChainKernel.inl"
}  // namespace

void RunAvx512(ChannelProcessor& left, ChannelProcessor& right, LookaheadLimiter& limiter,
            const StereoChain::Block& block) noexcept {
  RunBlock<Lanes>(left, right, limiter, block);
}

}  // namespace simd
}  // namespace torvane

#pragma GCC pop_options

