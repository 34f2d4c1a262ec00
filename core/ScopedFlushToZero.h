#pragma once

#if defined(__SSE__) || defined(__x86_64__)
#include <xmmintrin.h>
#define TORVANE_HAS_MXCSR 1
#endif

namespace torvane {

// Switches flush-to-zero and denormals-are-zero on for the duration of a
// processing call and restores the caller's floating-point control state on
// exit. Filters and envelopes decaying in silence reach subnormal numbers,
// which are many times slower on x86 and cause audio dropouts.
class ScopedFlushToZero {
 public:
#ifdef TORVANE_HAS_MXCSR
  ScopedFlushToZero() noexcept : saved_(_mm_getcsr()) { _mm_setcsr(saved_ | kFlushToZero | kDenormalsAreZero); }
  ~ScopedFlushToZero() { _mm_setcsr(saved_); }
#else
  ScopedFlushToZero() noexcept {}
#endif
  ScopedFlushToZero(const ScopedFlushToZero&) = delete;
  ScopedFlushToZero& operator=(const ScopedFlushToZero&) = delete;

 private:
#ifdef TORVANE_HAS_MXCSR
  static constexpr unsigned kFlushToZero = 0x8000;
  static constexpr unsigned kDenormalsAreZero = 0x0040;
  unsigned saved_;
#endif
};

}  // namespace torvane
