// The effect's state as hosts store it: program and bank chunk layouts, with
// and without the editor's size values, and robustness against damaged chunks.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "EffectHarness.h"

namespace torvane {

namespace {
using P = Torvane::Parameter;
constexpr int kSubBass = P::kSubBass, kOutput = P::kOutput, kChannel = P::kChannel;

std::vector<uint8_t> Chunk(EffectHarness& harness, int index) {
  void* data = nullptr;
  const VstIntPtr size = harness.Dispatch(effGetChunk, index, 0, &data);
  const auto* bytes = static_cast<const uint8_t*>(data);
  return size > 0 ? std::vector<uint8_t>(bytes, bytes + size) : std::vector<uint8_t>();
}

double DoubleAt(const std::vector<uint8_t>& chunk, size_t offset) {
  double value;
  std::memcpy(&value, chunk.data() + offset, sizeof value);
  return value;
}

void ExpectAllParametersValid(Torvane& effect) {
  for (int i = 0; i < effect.NumParameters(); ++i) {
    const IParameter* p = effect.GetParameter(i);
    ASSERT_TRUE(std::isfinite(p->Value())) << i;
    ASSERT_GE(p->Value(), p->Min()) << i;
    ASSERT_LE(p->Value(), p->Max()) << i;
  }
  ASSERT_TRUE(std::isfinite(effect.OutputFactor()));
}
}  // namespace

TEST(TorvaneState, ChunksCarryTheEditorSizeInFront) {
  EffectHarness harness;
  harness.effect.EditorSize().Width().SetClamped(1080.0);
  const std::vector<uint8_t> program = Chunk(harness, 1);
  ASSERT_EQ(program.size(), 148u);
  const uint8_t start[] = {'t', 'f', 'f', 'p', 0, 0, 1, 0, 14, 0, 0, 0};
  EXPECT_EQ(std::memcmp(program.data(), start, sizeof start), 0);
  EXPECT_EQ(DoubleAt(program, 12), -1.0);
  EXPECT_EQ(DoubleAt(program, 20), 1080.0);
  EXPECT_EQ(DoubleAt(program, 28), -1.0);
  EXPECT_EQ(DoubleAt(program, 36 + 9 * 8), 1.0);  // "LF Cut" at 30 Hz
  const std::vector<uint8_t> bank = Chunk(harness, 0);
  ASSERT_EQ(bank.size(), 154u);
  EXPECT_EQ(std::memcmp(bank.data() + 8, "\x01\x00\x00\x00-\x01", 6), 0);

  EffectHarness restored;
  std::vector<uint8_t> bytes = program;
  EXPECT_EQ(restored.Dispatch(effSetChunk, 1, static_cast<VstIntPtr>(bytes.size()), bytes.data()), 1);
  EXPECT_EQ(restored.effect.EditorSize().Width().Value(), 1080.0);
  EXPECT_EQ(Chunk(restored, 1), program);
}

// Sessions stored before the editor size travelled in the state hold the
// header, the count and the fourteen values only: 124 bytes for a program,
// 130 for the bank. Their size tells the layouts apart, both ways.
TEST(TorvaneState, ChunksOfTheLayoutWithoutEditorSizeStillRestore) {
  EffectHarness source;
  source.Set(kSubBass, -3.3);
  source.Set(kChannel, 1);
  source.effect.EditorSize().Width().SetClamped(2000.0);
  const std::vector<uint8_t> program = Chunk(source, 1), bank = Chunk(source, 0);
  std::vector<uint8_t> oldProgram(program.begin(), program.begin() + 12);
  oldProgram.insert(oldProgram.end(), program.begin() + 36, program.end());
  std::vector<uint8_t> oldBank(bank.begin(), bank.begin() + 18);
  oldBank.insert(oldBank.end(), bank.begin() + 42, bank.end());
  ASSERT_EQ(oldProgram.size(), 124u);
  ASSERT_EQ(oldBank.size(), 130u);

  for (auto [bytes, index] : {std::pair{oldProgram, 1}, std::pair{oldBank, 0}}) {
    EffectHarness target;
    EXPECT_EQ(target.Dispatch(effSetChunk, index, static_cast<VstIntPtr>(bytes.size()), bytes.data()), 1);
    EXPECT_EQ(target.effect.GetParameter(kSubBass)->Value(), -3.3);
    EXPECT_EQ(target.effect.GetParameter(kChannel)->Value(), 1.0);
    EXPECT_EQ(target.effect.GetParameter(kOutput)->Value(), 0.0);
    EXPECT_EQ(target.effect.EditorSize().Width().Value(), -1.0);  // nothing stored
  }
  // ... and a full chunk is never read as the shorter layout.
  EffectHarness target;
  std::vector<uint8_t> bytes = program;
  EXPECT_EQ(target.Dispatch(effSetChunk, 1, static_cast<VstIntPtr>(bytes.size()), bytes.data()), 1);
  EXPECT_EQ(target.effect.GetParameter(kSubBass)->Value(), -3.3);
  EXPECT_EQ(target.effect.EditorSize().Width().Value(), 2000.0);
}

// A chunk cut short inside its values changes nothing, and the preset keeps
// the state it had.
TEST(TorvaneState, TruncatedChunkChangesNothing) {
  EffectHarness source;
  for (int i = 0; i < 11; ++i) source.Set(i, source.effect.GetParameter(i)->Max());
  const std::vector<uint8_t> program = Chunk(source, 1), bank = Chunk(source, 0);
  EffectHarness target;
  target.Set(kOutput, -6.0);
  const std::vector<uint8_t> before = Chunk(target, 0);
  for (size_t cut : {40u, 100u, 140u}) {
    std::vector<uint8_t> bytes(program.begin(), program.begin() + cut);
    EXPECT_EQ(target.Dispatch(effSetChunk, 1, static_cast<VstIntPtr>(bytes.size()), bytes.data()), 0);
    bytes.assign(bank.begin(), bank.begin() + cut + 6);
    EXPECT_EQ(target.Dispatch(effSetChunk, 0, static_cast<VstIntPtr>(bytes.size()), bytes.data()), 0);
  }
  EXPECT_EQ(Chunk(target, 0), before);
  EXPECT_EQ(target.effect.GetParameter(kOutput)->Value(), -6.0);
}

TEST(TorvaneState, ProgramWithoutHeaderIsReadFromItsStart) {
  EffectHarness source;
  source.Set(kSubBass, -3.3);
  source.Set(kChannel, 1);
  std::vector<uint8_t> program = Chunk(source, 1);
  std::vector<uint8_t> bare(program.begin() + 8, program.end());
  EffectHarness target;
  EXPECT_EQ(target.Dispatch(effSetChunk, 1, static_cast<VstIntPtr>(bare.size()), bare.data()), 1);
  EXPECT_EQ(target.effect.GetParameter(2)->Value(), -3.3);
  EXPECT_EQ(target.effect.GetParameter(13)->Value(), 1.0);
}

TEST(TorvaneState, GarbageChunksNeverCorruptTheEffect) {
  std::mt19937 random(20261208);
  EffectHarness source;
  for (int i = 0; i < 14; ++i) source.Set(i, source.effect.GetParameter(i)->Max());
  const std::vector<uint8_t> program = Chunk(source, 1), bank = Chunk(source, 0);

  EffectHarness harness;
  for (int round = 0; round < 4000; ++round) {
    const std::vector<uint8_t>& valid = round % 3 ? program : bank;
    std::vector<uint8_t> bytes;
    switch (round % 4) {
      case 0:  // truncated at any length
        bytes.assign(valid.begin(), valid.begin() + random() % (valid.size() + 1));
        break;
      case 1:  // bytes flipped, including counts and lengths
        bytes = valid;
        for (int flips = 1 + random() % 6; flips > 0; --flips) bytes[random() % bytes.size()] = random();
        break;
      case 2: {  // a valid header and a huge count or length
        bytes = valid;
        const int32_t huge = random() % 2 ? 0x7fffffff : static_cast<int32_t>(0x80000000u + random() % 100);
        std::memcpy(bytes.data() + 8, &huge, 4);
        break;
      }
      default:  // random bytes
        bytes.resize(random() % 300);
        for (uint8_t& b : bytes) b = random();
        break;
    }
    harness.Dispatch(effSetChunk, round % 3 ? 1 : 0, static_cast<VstIntPtr>(bytes.size()), bytes.data());
    ExpectAllParametersValid(harness.effect);
    for (int i = 0; i < 3; ++i) {
      const IParameter* p = &harness.effect.EditorSize()[i];
      ASSERT_TRUE(std::isfinite(p->Value()) && p->Value() >= p->Min() && p->Value() <= p->Max());
    }
    ASSERT_LT(std::strlen(harness.effect.PresetName(0)), kPresetNameBytes);
  }
  // And it still processes.
  std::vector<double> in = BassLine(48000.0, 0.05), left, right;
  harness.Process(in, in, left, right);
  for (double v : left) ASSERT_TRUE(std::isfinite(v));
}

}  // namespace torvane
