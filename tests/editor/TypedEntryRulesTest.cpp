// What a typed-entry box bound to a parameter accepts, and what its committed
// text is worth to the parameter.
#include <gtest/gtest.h>

#include "editor/TypedEntryRules.h"
#include "framework/IParameter.h"

namespace torvane {

TEST(TypedEntryRules, WholeNumberTypesTakeSignsAndDigitsOnlyDoublesAlsoThePoint) {
  IParameter steps, level, flag, plain;
  steps.DefineInt("Steps", 0, 0, 10);
  level.DefineDouble("Level", 0.0, -10.0, 10.0, 0.1, "dB");
  flag.DefineBool("Flag", false);
  for (const IParameter* wholeNumbers : {&steps, &flag}) {
    EXPECT_TRUE(TypedEntryAccepts(wholeNumbers, '7'));
    EXPECT_TRUE(TypedEntryAccepts(wholeNumbers, '-'));
    EXPECT_TRUE(TypedEntryAccepts(wholeNumbers, '+'));
    EXPECT_FALSE(TypedEntryAccepts(wholeNumbers, '.'));
    EXPECT_FALSE(TypedEntryAccepts(wholeNumbers, 'e'));
  }
  EXPECT_TRUE(TypedEntryAccepts(&level, '.'));
  EXPECT_FALSE(TypedEntryAccepts(&level, ','));
  EXPECT_FALSE(TypedEntryAccepts(&level, ' '));
  EXPECT_TRUE(TypedEntryAccepts(&plain, 'x'));  // a parameter without a type
  EXPECT_TRUE(TypedEntryAccepts(nullptr, 'x'));
}

TEST(TypedEntryRules, ChoicesMatchTheirTextsExactlyNumbersReadTheirLeadingNumber) {
  IParameter channel;
  channel.DefineEnum("Channel", 0, 2);
  channel.AddDisplayText(0, "Mono");
  channel.AddDisplayText(1, "Stereo");
  EXPECT_EQ(TypedParameterValue(channel, "Stereo"), 1.0);
  EXPECT_EQ(TypedParameterValue(channel, "stereo"), 0.0);  // no text equals it
  EXPECT_EQ(TypedParameterValue(channel, "1"), 0.0);

  IParameter cut;
  cut.DefineDouble("Cut", 0.0, -20.0, 0.0, 0.1, "dB");
  cut.SetNegateDisplay(true);
  EXPECT_EQ(TypedParameterValue(cut, "3.5 dB"), -3.5);
  EXPECT_EQ(TypedParameterValue(cut, "dB"), 0.0);
}

}  // namespace torvane
