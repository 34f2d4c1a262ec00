// The block kernel for AVX2: the band lanes in vectors of four doubles.
#include <cmath>
#include <cstring>

#include "dsp/StereoChain.h"
// Only this file's own code is built for the instruction set: every header is
// included above, so inline functions shared with other files keep the
// baseline code that any CPU runs.
#pragma GCC push_options
#pragma GCC target("avx2")

namespace torvane {
namespace simd {
namespace {
using Lanes = double __attribute__((vector_size(32)));
#include "dsp/BandLanesStep.inl"
#include "dsp/StereoChainKernel.inl"
}  // namespace

void RunAvx2(ChannelProcessor& left, ChannelProcessor& right, LookaheadLimiter& limiter,
            const StereoChain::Block& block) noexcept {
  RunBlock<Lanes>(left, right, limiter, block);
}

}  // namespace simd
}  // namespace torvane

#pragma GCC pop_options

