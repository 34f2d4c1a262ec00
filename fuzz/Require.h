#pragma once

#include <cstdlib>

namespace torvane {

// A broken invariant in a fuzz target: stops the run like a crash, so that
// libFuzzer keeps the input that caused it.
inline void Require(bool condition) {
  if (!condition) std::abort();
}

}  // namespace torvane
