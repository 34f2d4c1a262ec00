// Parameter state and presets of the plug-in base: chunk layouts, restore
// rules for short or damaged chunks, and preset naming.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "framework/IEffectBase.h"

namespace torvane {

namespace {

class ThreeParameterEffect : public IEffectBase {
 public:
  explicit ThreeParameterEffect(int presets = 1, bool withEditorSize = false)
      : IEffectBase(3, "1-1 2-2", presets, "Test", "", "Maker", 1, 0x10000) {
    GetParameter(0)->DefineDouble("Gain", 0.0, -10.0, 10.0, 0.1, "dB");
    GetParameter(1)->DefineEnum("Mode", 1, 9);
    GetParameter(2)->DefineBool("Switch", false);
    if (withEditorSize) StoreEditorSizeInState();
  }
  void OnParameterChange(int index) override { changes.push_back(index); }
  void OnPresetsChanged() override { ++presetChanges; }

  std::vector<int> changes;
  int presetChanges = 0;
};

std::vector<double> Values(const IEffectBase& effect) {
  std::vector<double> v;
  for (int i = 0; i < effect.NumParameters(); ++i) v.push_back(effect.GetParameter(i)->Value());
  return v;
}

}  // namespace

TEST(ParameterState, LayoutIsCountThenValues) {
  ThreeParameterEffect effect;
  effect.GetParameter(0)->SetClamped(-2.5);
  StateChunk chunk;
  ASSERT_TRUE(effect.SerializeParams(chunk));
  ASSERT_EQ(chunk.Size(), 4 + 3 * 8);
  int32_t count = 0;
  double first = 0;
  chunk.GetDouble(first, chunk.GetInt(count, 0));
  EXPECT_EQ(count, 3);
  EXPECT_EQ(first, -2.5);
}

TEST(ParameterState, ResizeValuesTravelInFrontOfTheParameters) {
  ThreeParameterEffect effect(1, true);
  effect.EditorSize().Width().SetClamped(1440.0);
  StateChunk chunk;
  ASSERT_TRUE(effect.SerializeParams(chunk));
  ASSERT_EQ(chunk.Size(), 4 + 6 * 8);
  double view = 0, width = 0;
  chunk.GetDouble(width, chunk.GetDouble(view, 4));
  EXPECT_EQ(view, -1.0);
  EXPECT_EQ(width, 1440.0);

  ThreeParameterEffect other(1, true);
  EXPECT_EQ(other.UnserializeParams(chunk, 0), chunk.Size());
  EXPECT_EQ(other.EditorSize().Width().Value(), 1440.0);
  EXPECT_EQ(other.EditorSize().Height().Value(), -1.0);
}

TEST(ParameterState, RoundTripRestoresEveryValueAndNotifiesAll) {
  ThreeParameterEffect source;
  source.GetParameter(0)->SetClamped(3.7000000000000002);
  source.GetParameter(1)->SetClamped(8);
  source.GetParameter(2)->SetClamped(1);
  StateChunk chunk;
  source.SerializeParams(chunk);

  ThreeParameterEffect target;
  EXPECT_EQ(target.UnserializeParams(chunk, 0), chunk.Size());
  EXPECT_EQ(Values(target), Values(source));
  EXPECT_EQ(target.changes, (std::vector<int>{0, 1, 2}));
}

TEST(ParameterState, TruncatedStateChangesNothing) {
  ThreeParameterEffect source;
  source.GetParameter(0)->SetClamped(4.0);
  source.GetParameter(1)->SetClamped(6.0);
  StateChunk full;
  source.SerializeParams(full);
  StateChunk cut;
  cut.Assign(full.Data(), 4 + 8 + 3);  // count, the first value, part of the second

  ThreeParameterEffect target;
  target.GetParameter(2)->SetClamped(1.0);
  EXPECT_EQ(target.UnserializeParams(cut, 0), -1);
  EXPECT_EQ(Values(target), (std::vector<double>{0.0, 1.0, 1.0}));
  EXPECT_TRUE(target.changes.empty());
}

TEST(ParameterState, CountOnlyStateChangesNothing) {
  ThreeParameterEffect effect(1, true);
  effect.EditorSize().Width().SetClamped(800.0);
  effect.GetParameter(0)->SetClamped(2.0);
  StateChunk chunk;
  chunk.PutInt(3);
  EXPECT_EQ(effect.UnserializeParams(chunk, 0), -1);
  EXPECT_EQ(effect.EditorSize().View().Value(), -1.0);
  EXPECT_EQ(effect.EditorSize().Width().Value(), 800.0);
  EXPECT_EQ(Values(effect), (std::vector<double>{2.0, 1.0, 0.0}));
  EXPECT_TRUE(effect.changes.empty());
}

TEST(ParameterState, StoredCountLimitsTheValuesRead) {
  ThreeParameterEffect effect;
  StateChunk smaller;
  smaller.PutInt(1);
  smaller.PutDouble(5.0);
  smaller.PutDouble(7.0);  // not read: the count says one value
  EXPECT_EQ(effect.UnserializeParams(smaller, 0), 12);
  EXPECT_EQ(Values(effect), (std::vector<double>{5.0, 1.0, 0.0}));

  // A newer layout with more values: the known ones are read, the rest skipped.
  StateChunk larger;
  larger.PutInt(5);
  for (double v : {1.0, 2.0, 1.0, 9.0, 9.0}) larger.PutDouble(v);
  EXPECT_EQ(effect.UnserializeParams(larger, 0), 4 + 5 * 8);
  EXPECT_EQ(Values(effect), (std::vector<double>{1.0, 2.0, 1.0}));

  StateChunk missingValues;
  missingValues.PutInt(1000);
  for (double v : {3.0, 3.0, 0.0, 9.0}) missingValues.PutDouble(v);
  EXPECT_EQ(effect.UnserializeParams(missingValues, 0), -1);
  EXPECT_EQ(Values(effect), (std::vector<double>{1.0, 2.0, 1.0}));
}

TEST(ParameterState, ValuesAreLimitedAndNonFiniteValuesIgnored) {
  ThreeParameterEffect effect;
  StateChunk chunk;
  chunk.PutInt(3);
  chunk.PutDouble(1e9);
  chunk.PutDouble(std::nan(""));
  chunk.PutDouble(-5.0);
  effect.UnserializeParams(chunk, 0);
  EXPECT_EQ(Values(effect), (std::vector<double>{10.0, 1.0, 0.0}));
}

TEST(Presets, BankRoundTripRestoresNamesAndStates) {
  ThreeParameterEffect source(2);
  source.FillDefaultPresets("-", 1);
  source.GetParameter(0)->SetClamped(-7.5);
  source.LoadPreset(1);  // uninitialised: named and filled from the current state
  EXPECT_STREQ(source.PresetName(1), "user preset 1");
  StateChunk bank;
  ASSERT_TRUE(source.SerializePresets(bank));

  ThreeParameterEffect target(2);
  EXPECT_EQ(target.UnserializePresets(bank, 0), bank.Size());
  EXPECT_STREQ(target.PresetName(0), "-");
  EXPECT_STREQ(target.PresetName(1), "user preset 1");
  target.LoadPreset(1);
  EXPECT_EQ(target.GetParameter(0)->Value(), -7.5);
  target.LoadPreset(0);
  EXPECT_EQ(target.GetParameter(0)->Value(), 0.0);
}

TEST(Presets, BankLayoutOfOneDefaultPreset) {
  ThreeParameterEffect effect;
  effect.FillDefaultPresets("-", 1);
  effect.FillDefaultPresets("Empty", 1);  // nothing left to fill
  StateChunk bank;
  effect.SerializePresets(bank);
  ASSERT_EQ(bank.Size(), 4 + 1 + 1 + (4 + 3 * 8));
  int32_t length = 0;
  effect.SerializePresets(bank);
  EXPECT_EQ(bank.GetInt(length, 0), 4);
  EXPECT_EQ(length, 1);
  EXPECT_EQ(bank.Data()[4], '-');
  EXPECT_EQ(bank.Data()[5], 1);
}

TEST(Presets, UserPresetsAreNumberedByExistingNames) {
  ThreeParameterEffect effect(3);
  EXPECT_TRUE(effect.LoadPreset(2));
  EXPECT_STREQ(effect.PresetName(2), "user preset 1");
  EXPECT_EQ(effect.CurrentPreset(), 2);
  EXPECT_TRUE(effect.LoadPreset(0));
  EXPECT_STREQ(effect.PresetName(0), "user preset 2");
  EXPECT_FALSE(effect.LoadPreset(3));
  EXPECT_FALSE(effect.LoadPreset(-1));
  EXPECT_EQ(effect.presetChanges, 2);
}

TEST(Presets, ModifyCurrentPresetStoresStateAndOptionalName) {
  ThreeParameterEffect effect;
  effect.FillDefaultPresets("-", 1);
  effect.GetParameter(0)->SetClamped(9.0);
  effect.ModifyCurrentPreset("Growl");
  EXPECT_STREQ(effect.PresetName(0), "Growl");
  effect.ModifyCurrentPreset("");
  EXPECT_STREQ(effect.PresetName(0), "Growl");
  effect.GetParameter(0)->SetClamped(0.0);
  effect.LoadPreset(0);
  EXPECT_EQ(effect.GetParameter(0)->Value(), 9.0);
}

TEST(Presets, OverlongPresetNameIsCutToTheNameField) {
  StateChunk bank;
  bank.PutInt(0);  // the first preset: no name, not initialised
  bank.PutByte(0);
  const std::string name(1000, 'x');
  bank.PutInt(static_cast<int32_t>(name.size()));
  bank.PutBytes(name.data(), static_cast<int>(name.size()));
  bank.PutByte(0);
  ThreeParameterEffect effect(2);
  EXPECT_EQ(effect.UnserializePresets(bank, 0), bank.Size());
  EXPECT_EQ(std::string(effect.PresetName(1)), name.substr(0, kPresetNameBytes - 1));
}

TEST(Presets, GarbageBanksLeaveParametersFiniteAndInRange) {
  std::mt19937 random(1234);
  ThreeParameterEffect source(2, true);
  source.FillDefaultPresets("Bright", 2);
  StateChunk valid;
  source.SerializePresets(valid);

  ThreeParameterEffect effect(2, true);
  for (int round = 0; round < 3000; ++round) {
    StateChunk chunk;
    if (round % 3 == 0) {
      chunk.Assign(valid.Data(), static_cast<int>(random() % (valid.Size() + 1)));  // truncated
    } else {
      std::vector<uint8_t> bytes(valid.Data(), valid.Data() + valid.Size());
      for (int flips = 1 + random() % 8; flips > 0; --flips) bytes[random() % bytes.size()] = random();
      if (round % 3 == 2) bytes.resize(random() % 64);
      chunk.Assign(bytes.data(), static_cast<int>(bytes.size()));
    }
    effect.UnserializePresets(chunk, 0);
    effect.UnserializeParams(chunk, static_cast<int>(random() % 16));
    for (int i = 0; i < effect.NumParameters(); ++i) {
      const IParameter* p = effect.GetParameter(i);
      ASSERT_TRUE(std::isfinite(p->Value()));
      ASSERT_GE(p->Value(), p->Min());
      ASSERT_LE(p->Value(), p->Max());
    }
    for (int i = 0; i < 3; ++i) {
      const IParameter* p = &effect.EditorSize()[i];
      ASSERT_TRUE(std::isfinite(p->Value()) && p->Value() >= p->Min() && p->Value() <= p->Max());
    }
    for (int i = 0; i < effect.NumPresets(); ++i) ASSERT_LT(std::strlen(effect.PresetName(i)), kPresetNameBytes);
  }
}

}  // namespace torvane
