// Where the leading number of a text ends, which the readers of choice texts
// rely on for the unit after it, and no number for a text that has none.
#include <gtest/gtest.h>

#include "core/LeadingNumber.h"

namespace torvane {

TEST(LeadingNumber, EndsWhereTheNumberDoesAndFindsNoneInOtherText) {
  struct Case {
    const char* text;
    double value;
    const char* rest;
  };
  const Case numbers[] = {{"20 Hz", 20.0, " Hz"},      {" +6 dB", 6.0, " dB"}, {"-0.25dB", -0.25, "dB"},
                          {"1.5e3 Hz", 1500.0, " Hz"}, {"2e", 2.0, "e"},       {"3e+x", 3.0, "e+x"},
                          {"0 dB", 0.0, " dB"}};
  for (const Case& c : numbers) {
    double value = -1.0;
    const char* rest = ReadLeadingNumber(c.text, value);
    ASSERT_NE(rest, nullptr) << c.text;
    EXPECT_STREQ(rest, c.rest) << c.text;
    EXPECT_EQ(value, c.value) << c.text;
    EXPECT_EQ(ParseLeadingNumber(c.text), c.value) << c.text;
  }
  for (const char* text : {"Mono", "", "+", "-.", "e5", " dB"}) {
    double value = -1.0;
    EXPECT_EQ(ReadLeadingNumber(text, value), nullptr) << text;
    EXPECT_EQ(value, 0.0) << text;
  }
  double value = -1.0;
  EXPECT_EQ(ReadLeadingNumber(nullptr, value), nullptr);
  EXPECT_EQ(value, 0.0);
}

}  // namespace torvane
