// Every instruction-set path of the signal path renders exactly the bits of
// the scalar path: through the effect record's callbacks in both precisions,
// mono and stereo, with "Dirt" off and on, with the host changing parameters
// between calls of uneven sizes, and with the recovery from non-finite input
// and runaway state.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <limits>
#include <vector>

#include "EffectHarness.h"

namespace torvane {

namespace {
// A host's session: parameter changes (normalised, as a host sends them)
// between processing calls whose sizes do not line up with the block size.
struct Change {
  int index;
  float position;
};
struct Call {
  int frames;  // 0: the rest of the input
  std::vector<Change> changes;  // applied before the call
};

const std::vector<Call>& Session(bool stereo, bool dirt) {
  static std::vector<Call> sessions[2][2];
  std::vector<Call>& calls = sessions[stereo][dirt];
  if (calls.empty()) {
    const float channel = stereo ? 1.0f : 0.0f, dirtOn = dirt ? 0.35f : 0.0f;
    calls = {
        {300,
         {{Torvane::kChannel, channel}, {Torvane::kDirt, dirtOn}, {Torvane::kProcess, 0.4f},
          {Torvane::kSubBass, 0.7f}, {Torvane::kTreble, 0.2f}}},
        {1, {{Torvane::kFullness, 0.3f}}},  // below 0: the 300 Hz cut joins the path
        {513, {{Torvane::kProcess, 0.9f}, {Torvane::kTransients, 1.0f}}},
        {7, {{Torvane::kLfCut, 1.0f}, {Torvane::kInputTrim, 1.0f}}},
        {256, {{Torvane::kFullness, 0.8f}, {Torvane::kDirt, dirt ? 1.0f : 0.0f}}},
        {1000, {{Torvane::kChannel, 1.0f - channel}, {Torvane::kOutput, 0.8f}}},  // the other channel mode
        {333, {{Torvane::kChannel, channel}, {Torvane::kInputTrim, 0.0f}, {Torvane::kTransients, 0.0f}}},
        {0,
         {{Torvane::kPresence, 0.9f}, {Torvane::kArticulation, 0.1f}, {Torvane::kLowBass, 0.6f},
          {Torvane::kHiBass, 0.45f}}},
    };
  }
  return calls;
}

// The session's input: a bass line on the left, another on the right, with
// non-finite samples and a burst that overflows the chain's state.
void Input(std::vector<double>& left, std::vector<double>& right) {
  left = BassLine(48000.0, 0.1, 3);
  right = BassLine(48000.0, 0.1, 4);
  left[400] = std::numeric_limits<double>::quiet_NaN();
  right[900] = std::numeric_limits<double>::infinity();
  for (int i = 2500; i < 2600; ++i) left[i] = right[i] = i % 2 ? 1e300 : -1e300;
}

template <typename Sample>
void Render(SimdPath path, bool stereo, bool dirt, std::vector<Sample>& outLeft, std::vector<Sample>& outRight) {
  EffectHarness harness(48000.0, 256);
  ASSERT_TRUE(harness.effect.UseSimdPath(path));
  AEffect* record = harness.effect.EffectRecord();
  std::vector<double> left, right;
  Input(left, right);
  std::vector<Sample> inLeft(left.begin(), left.end()), inRight(right.begin(), right.end());
  outLeft.assign(inLeft.size(), Sample(0));
  outRight.assign(inLeft.size(), Sample(0));
  size_t start = 0;
  for (const Call& call : Session(stereo, dirt)) {
    for (const Change& change : call.changes) record->setParameter(record, change.index, change.position);
    const int frames = static_cast<int>(call.frames ? call.frames : inLeft.size() - start);
    Sample* inputs[] = {inLeft.data() + start, inRight.data() + start};
    Sample* outputs[] = {outLeft.data() + start, outRight.data() + start};
    if constexpr (sizeof(Sample) == sizeof(double)) {
      record->processDoubleReplacing(record, inputs, outputs, frames);
    } else {
      record->processReplacing(record, inputs, outputs, frames);
    }
    start += frames;
  }
  ASSERT_EQ(start, inLeft.size());
}

template <typename Sample>
void ExpectEveryPathMatchesScalar() {
  for (bool stereo : {false, true}) {
    for (bool dirt : {false, true}) {
      std::vector<Sample> expectLeft, expectRight;
      Render(SimdPath::kScalar, stereo, dirt, expectLeft, expectRight);
      for (SimdPath path : kSimdPaths) {
        if (path == SimdPath::kScalar || !IsSimdPathSupported(path)) continue;
        std::vector<Sample> left, right;
        Render(path, stereo, dirt, left, right);
        const char* what = stereo ? (dirt ? "stereo, dirt" : "stereo") : (dirt ? "mono, dirt" : "mono");
        // Compared as bits: NaN would not equal itself, and -0 would equal +0.
        ASSERT_EQ(left.size(), expectLeft.size());
        for (size_t i = 0; i < left.size(); ++i) {
          ASSERT_EQ(std::memcmp(&left[i], &expectLeft[i], sizeof(Sample)), 0)
              << SimdPathName(path) << ", " << what << ", left frame " << i;
          ASSERT_EQ(std::memcmp(&right[i], &expectRight[i], sizeof(Sample)), 0)
              << SimdPathName(path) << ", " << what << ", right frame " << i;
        }
      }
    }
  }
}
}  // namespace

// Names the paths this CPU runs, so that a run on an emulated CPU shows which
// one it chose.
TEST(SimdPaths, ScalarAndSse2AreAlwaysThereAndTheFastestIsChosen) {
  std::printf("fastest path: %s\n", SimdPathName(FastestSimdPath()));
  EXPECT_TRUE(IsSimdPathSupported(SimdPath::kScalar));
  EXPECT_TRUE(IsSimdPathSupported(SimdPath::kSse2));
  for (SimdPath path : kSimdPaths) {
    if (IsSimdPathSupported(path)) {
      EXPECT_GE(FastestSimdPath(), path) << SimdPathName(path);
    }
  }
  EffectHarness harness;
  EXPECT_FALSE(harness.effect.UseSimdPath(static_cast<SimdPath>(99)));
}

TEST(SimdPaths, EveryPathRendersTheScalarPathsBitsInDoublePrecision) { ExpectEveryPathMatchesScalar<double>(); }

TEST(SimdPaths, EveryPathRendersTheScalarPathsBitsInSinglePrecision) { ExpectEveryPathMatchesScalar<float>(); }

}  // namespace torvane
