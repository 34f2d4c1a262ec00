#include "dsp/StereoChain.h"

namespace torvane {

namespace {
StereoChain::Kernel KernelFor(SimdPath path) noexcept {
  switch (path) {
#if defined(__x86_64__)
    case SimdPath::kSse2: return simd::RunSse2;
    case SimdPath::kAvx2: return simd::RunAvx2;
    case SimdPath::kAvx512: return simd::RunAvx512;
#endif
    default: return simd::RunScalar;
  }
}
}  // namespace

StereoChain::StereoChain() noexcept { UsePath(FastestSimdPath()); }

bool StereoChain::UsePath(SimdPath path) noexcept {
  if (!IsSimdPathSupported(path)) return false;
  path_ = path;
  kernel_ = KernelFor(path);
  // While 512-bit instructions are in flight, the CPU runs the scalar
  // arithmetic around them slower, and the dirt layer's filters and arctangent
  // are scalar: with "Dirt" on, the 256-bit kernel is much faster (every CPU
  // with AVX-512 has AVX2).
  const bool narrowForDirt = path == SimdPath::kAvx512 && IsSimdPathSupported(SimdPath::kAvx2);
  dirtKernel_ = narrowForDirt ? KernelFor(SimdPath::kAvx2) : kernel_;
  return true;
}

void StereoChain::ProcessBlock(const Block& block) noexcept {
  if (block.frames <= 0) return;
  (left_.DirtOn() ? dirtKernel_ : kernel_)(left_, right_, limiter_, block);
  if (!left_.HasFiniteState()) left_.ClearState();
  if (!right_.HasFiniteState()) right_.ClearState();
  if (!limiter_.HasFiniteState()) limiter_.ClearState();
}

}  // namespace torvane
