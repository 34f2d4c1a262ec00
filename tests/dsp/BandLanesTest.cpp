// The band lanes' step, for every lane width the kernels use, against the
// leveling chain computed by hand: each lane with its own drive, offset, gain
// and times, so that a lane reading its neighbour's settings shows.
#include "dsp/BandLanes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

// Vectors wider than the baseline's registers are fine here: they never cross
// a function boundary outside this file.
#pragma GCC diagnostic ignored "-Wpsabi"

namespace torvane {

namespace lanes_under_test {
#include "dsp/BandLanesStep.inl"
}  // namespace lanes_under_test

namespace {

using Lanes2 = double __attribute__((vector_size(16)));
using Lanes4 = double __attribute__((vector_size(32)));
using Lanes8 = double __attribute__((vector_size(64)));

// One step with the state taken out of the lanes and put back.
template <typename L>
void Step(BandLanes& s, double x, double* leveled, double* raw) {
  lanes_under_test::LaneState<L> state(s);
  lanes_under_test::StepBandLanes<L>(s, state, x, leveled, raw);
  state.Store(s);
}

// Lanes whose band-pass passes its input unchanged (b0 = 1), so that the
// leveling sees the input itself.
BandLanes PassThroughLanes(double fs) {
  BandLanes s;
  s.Reset(fs);
  for (int b = 0; b < BandLanes::kBands; ++b) {
    s.b0[b] = 1.0;
    s.SetTimes(b, 1.0 + b, 2.0 + b);
    s.drive[b] = 2.0 + 0.5 * b;
    s.offset[b] = 0.5 - 0.05 * b;
    s.gain[b] = 1.0 + 0.25 * b;
  }
  return s;
}

template <typename L>
void ExpectHandComputedLeveling() {
  const double fs = 1000.0;
  BandLanes s = PassThroughLanes(fs);
  double s1[7] = {}, s2[7] = {}, s3[7] = {};
  const double r = std::exp(-1 / 20.0);  // the 20 ms smoothing stages at 1000 Hz
  for (double x : {0.5, -0.25, 0.0, 1.0, 0.125, -0.75}) {
    double leveled[BandLanes::kLanes], raw[BandLanes::kLanes];
    Step<L>(s, x, leveled, raw);
    for (int b = 0; b < BandLanes::kBands; ++b) {
      const double a1 = std::exp(-1 / (1.0 + b)), r1 = std::exp(-1 / (2.0 + b));
      const double level = std::fabs(x) * (2.0 + 0.5 * b);
      s1[b] = level > s1[b] ? s1[b] * a1 + level * (1 - a1) : s1[b] * r1 + level * (1 - r1);
      s2[b] = s1[b] > s2[b] ? s1[b] : s2[b] * r + s1[b] * (1 - r);
      s3[b] = s2[b] > s3[b] ? s2[b] : s3[b] * r + s2[b] * (1 - r);
      const double divisor = s3[b] + (0.5 - 0.05 * b);
      ASSERT_EQ(raw[b], x) << "band " << b;
      ASSERT_EQ(s.lastDivisor[b], divisor) << "band " << b;
      ASSERT_EQ(leveled[b], x / divisor * (1.0 + 0.25 * b)) << "band " << b;
    }
  }
}

}  // namespace

TEST(BandLanes, EveryLaneWidthLevelsEachBandByItsOwnEnvelopePlusOffset) {
  ExpectHandComputedLeveling<double>();
  ExpectHandComputedLeveling<Lanes2>();
  ExpectHandComputedLeveling<Lanes4>();
  ExpectHandComputedLeveling<Lanes8>();
}

TEST(BandLanes, SilenceLeavesEveryDivisorAtOneAndTheIdleLaneSilent) {
  BandLanes s = PassThroughLanes(44100.0);
  for (double& offset : s.offset) offset = 1.0;
  double leveled[BandLanes::kLanes], raw[BandLanes::kLanes];
  for (int n = 0; n < 100; ++n) Step<Lanes8>(s, 0.0, leveled, raw);
  for (int lane = 0; lane < BandLanes::kLanes; ++lane) {
    EXPECT_EQ(leveled[lane], 0.0) << lane;
    EXPECT_EQ(s.lastDivisor[lane], 1.0) << lane;
  }
  // The idle eighth lane stays silent under a loud input too.
  for (int n = 0; n < 100; ++n) Step<Lanes8>(s, 0.9, leveled, raw);
  EXPECT_EQ(leveled[BandLanes::kBands], 0.0);
  EXPECT_EQ(s.lastDivisor[BandLanes::kBands], 1.0);
  EXPECT_TRUE(s.HasFiniteState());
}

}  // namespace torvane
