#include "dsp/SimdPath.h"

namespace torvane {

bool IsSimdPathSupported(SimdPath path) noexcept {
#if defined(__x86_64__)
  // The CPU model is filled in by a constructor of the compiler's runtime;
  // initialising again is harmless and covers calls from other constructors.
  __builtin_cpu_init();
  switch (path) {
    case SimdPath::kScalar:
    case SimdPath::kSse2:
      return true;
    case SimdPath::kAvx2:
      // Also false when the operating system does not save the vector registers.
      return __builtin_cpu_supports("avx2");
    case SimdPath::kAvx512:
      return __builtin_cpu_supports("avx512f");
  }
  return false;
#else
  return path == SimdPath::kScalar;
#endif
}

SimdPath FastestSimdPath() noexcept {
  SimdPath fastest = SimdPath::kScalar;
  for (SimdPath path : kSimdPaths) {
    if (IsSimdPathSupported(path)) fastest = path;
  }
  return fastest;
}

const char* SimdPathName(SimdPath path) noexcept {
  switch (path) {
    case SimdPath::kScalar: return "scalar";
    case SimdPath::kSse2: return "SSE2";
    case SimdPath::kAvx2: return "AVX2";
    case SimdPath::kAvx512: return "AVX-512";
  }
  return "?";
}

}  // namespace torvane
