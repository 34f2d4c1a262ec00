#pragma once

namespace torvane {

// The instruction sets the signal path is built for. Every path gives the same
// bits; they differ only in speed. kScalar steps one band at a time and is the
// reference; the others step the band lanes in vectors of 2 (SSE2, every
// x86-64 CPU), 4 (AVX2) or 8 (AVX-512) doubles.
enum class SimdPath { kScalar, kSse2, kAvx2, kAvx512 };

constexpr SimdPath kSimdPaths[] = {SimdPath::kScalar, SimdPath::kSse2, SimdPath::kAvx2, SimdPath::kAvx512};

// Whether this build has the path and the CPU it runs on (and its operating
// system) can execute it. Asked at run time, never assumed from compile flags.
bool IsSimdPathSupported(SimdPath path) noexcept;
// The widest supported path: the one every new signal path uses.
SimdPath FastestSimdPath() noexcept;
const char* SimdPathName(SimdPath path) noexcept;

}  // namespace torvane
