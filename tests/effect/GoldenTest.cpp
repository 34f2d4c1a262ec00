// Golden renders: a synthesized bass line through the effect at several
// settings, in double precision, hashed bit for bit. Any change to the
// arithmetic of the signal path changes a hash; update them only for an
// intended change of the sound.
//
// The Windows C runtime's arctangent is one step off the correctly rounded
// value for some arguments, where glibc's is not, so the settings that use
// "Dirt" have a hash of their own in the Windows build. Everything else
// renders to the same bits in both builds.
#include <gtest/gtest.h>

#include <cstdio>

#include "EffectHarness.h"

namespace torvane {

namespace {
struct Setting {
  const char* name;
  double rate;
  int block;
  std::vector<std::pair<int, double>> values;
  uint64_t expected;
  uint64_t expectedOnWindows;  // 0: the same as expected
};

uint64_t Render(const Setting& setting) {
  EffectHarness harness(setting.rate, setting.block);
  for (const auto& value : setting.values) harness.Set(value.first, value.second);
  const std::vector<double> left = BassLine(setting.rate, 2.0, 7), right = BassLine(setting.rate, 2.0, 8);
  std::vector<double> outLeft, outRight;
  harness.Process(left, right, outLeft, outRight);
  return HashSamples(outRight, HashSamples(outLeft));
}
}  // namespace

TEST(GoldenRender, OutputsAreBitExact) {
  const Setting settings[] = {
      {"defaults, mono", 48000.0, 256, {}, 0xf1b2220942ca18f5, 0},
      {"stereo, tone shaped", 44100.0, 512,
       {{Torvane::kChannel, 1}, {Torvane::kProcess, 5.0}, {Torvane::kSubBass, 4.0}, {Torvane::kLowBass, -2.5},
        {Torvane::kHiBass, 1.0}, {Torvane::kFullness, -6.0}, {Torvane::kArticulation, 3.0},
        {Torvane::kPresence, -1.5}, {Torvane::kTreble, 7.0}},
       0x87d0628a701bcbbe, 0},
      {"dirt", 48000.0, 128, {{Torvane::kDirt, 7.0}, {Torvane::kProcess, 3.0}, {Torvane::kFullness, 2.0}},
       0x64e892688ca1c449, 0x4e150e4fb1b486a1},
      {"transients, hard leveling", 96000.0, 1024,
       {{Torvane::kTransients, 1}, {Torvane::kProcess, 10.0}, {Torvane::kChannel, 1}}, 0x87f7ebe1decf54b4, 0},
      {"trim -6 dB, LF cut 100 Hz", 48000.0, 64,
       {{Torvane::kInputTrim, 0}, {Torvane::kLfCut, 8}, {Torvane::kOutput, 4.5}}, 0xf38582b60307f4e5, 0},
      {"trim +6 dB, quiet output", 44100.0, 300,
       {{Torvane::kInputTrim, 2}, {Torvane::kOutput, -12.0}, {Torvane::kDirt, 10.0}}, 0x868571477228aa8d,
       0x02bf23116dcef6a5},
  };
  for (const Setting& setting : settings) {
    uint64_t expected = setting.expected;
#ifdef _WIN32
    if (setting.expectedOnWindows) expected = setting.expectedOnWindows;
#endif
    const uint64_t hash = Render(setting);
    EXPECT_EQ(hash, expected) << setting.name << ": 0x" << std::hex << hash;
  }
}

}  // namespace torvane
