// Reading typed parameter values against what the renderer learnt of a
// parameter: the rules users rely on, without a plug-in.
#include <gtest/gtest.h>

#include "tools/common/ParameterInfo.h"

namespace torvane {

namespace {
ParameterInfo Choices(const char* name, std::initializer_list<const char*> texts) {
  ParameterInfo info;
  info.name = name;
  for (const char* text : texts) info.choices.push_back({text, 0.0f});
  return info;
}

ParameterInfo Decibels() {
  ParameterInfo info;
  info.name = "Sub Bass";
  info.unit = "dB";
  info.hasRange = true;
  info.min = -10.0;
  info.max = 10.0;
  info.minText = "-10.0";
  info.maxText = "10.0";
  return info;
}

// The choice a text selects, -1 for a number, -2 when refused.
int Parsed(const ParameterInfo& info, const char* text, std::string* error = nullptr) {
  ParameterValue value;
  std::string why;
  const bool parsed = ParseParameterValue(info, text, value, why);
  if (error) *error = why;
  return parsed ? value.choice : -2;
}
}  // namespace

TEST(ParameterValue, WordChoicesByTextInAnyCaseOrByTheirNumber) {
  const ParameterInfo channel = Choices("Channel", {"Mono", "Stereo"});
  EXPECT_EQ(Parsed(channel, "stereo"), 1);
  EXPECT_EQ(Parsed(channel, " MONO "), 0);
  EXPECT_EQ(Parsed(channel, "1"), 1);
  std::string error;
  EXPECT_EQ(Parsed(channel, "2", &error), -2);
  EXPECT_EQ(error, "\"Channel\" takes Mono (0), Stereo (1), not \"2\"");
  EXPECT_EQ(Parsed(channel, "-0"), -2);
  EXPECT_EQ(Parsed(channel, "Ster"), -2);
}

TEST(ParameterValue, ValueChoicesByValueWithOrWithoutUnitNeverByPosition) {
  const ParameterInfo trim = Choices("Input Trim", {"-6 dB", "0 dB", "+6 dB"});
  EXPECT_EQ(Parsed(trim, "0"), 1);  // 0 dB, not the first choice
  EXPECT_EQ(Parsed(trim, "6"), 2);
  EXPECT_EQ(Parsed(trim, "+6db"), 2);
  EXPECT_EQ(Parsed(trim, "-6 DB"), 0);
  EXPECT_EQ(Parsed(trim, "2"), -2);
  EXPECT_EQ(Parsed(trim, "6 Hz"), -2);
  std::string error;
  EXPECT_EQ(Parsed(Choices("LF Cut", {"20 Hz", "30 Hz"}), "25 Hz", &error), -2);
  EXPECT_EQ(error, "\"LF Cut\" takes 20 Hz, 30 Hz, not \"25 Hz\"");
}

TEST(ParameterValue, NumbersTakeOnlyTheirOwnUnitAndStayInRange) {
  const ParameterInfo bass = Decibels();
  ParameterValue value;
  std::string error;
  ASSERT_TRUE(ParseParameterValue(bass, " -10 dB ", value, error)) << error;
  EXPECT_EQ(value.number, -10.0);
  ASSERT_TRUE(ParseParameterValue(bass, "2.5db", value, error)) << error;
  EXPECT_EQ(value.number, 2.5);
  EXPECT_EQ(value.choice, -1);

  EXPECT_FALSE(ParseParameterValue(bass, "10.01", value, error));
  EXPECT_EQ(error, "\"Sub Bass\" 10.01 is outside its range -10.0 to 10.0 dB");
  EXPECT_FALSE(ParseParameterValue(bass, "3 Hz", value, error));
  EXPECT_EQ(error, "\"Sub Bass\" is set in dB, not in \"Hz\"");
  for (const char* text : {"", "loud", "inf", "nan", "0x5", "--3", "dB 3"}) {
    EXPECT_FALSE(ParseParameterValue(bass, text, value, error)) << text;
  }
  ParameterInfo plain = bass;
  plain.unit.clear();
  EXPECT_FALSE(ParseParameterValue(plain, "3 dB", value, error));
  EXPECT_EQ(error, "\"Sub Bass\" takes a plain number, not in \"dB\"");
}

}  // namespace torvane
