// The plain block kernel: one band at a time, the reference for the others.
#include <cmath>
#include <cstring>

#include "dsp/StereoChain.h"

namespace torvane {
namespace simd {
namespace {
#include "dsp/BandLanesStep.inl"
#include "dsp/StereoChainKernel.inl"
}  // namespace

void RunScalar(ChannelProcessor& left, ChannelProcessor& right, LookaheadLimiter& limiter,
               const StereoChain::Block& block) noexcept {
  RunBlock<double>(left, right, limiter, block);
}

}  // namespace simd
}  // namespace torvane
