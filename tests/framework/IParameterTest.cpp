#include "framework/IParameter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace torvane {

namespace {
std::string Display(const IParameter& p, double v, bool normalised = false) {
  char text[kParameterTextBytes];
  p.FormatDisplay(v, normalised, text, sizeof(text));
  return text;
}

// A continuous dB parameter from -10 to 10 and an enumeration of nine choices.
struct Continuous : IParameter {
  Continuous() { DefineDouble("Sub Bass", 0.0, -10.0, 10.0, 0.1, "dB"); }
};
struct NineChoices : IParameter {
  NineChoices() { DefineEnum("LF Cut", 1, 9); }
};
}  // namespace

TEST(IParameter, RangeIsNeverNarrowerThanOneStep) {
  IParameter p;
  p.DefineDouble("x", 0.0, 0.0, 0.0, 1.0);
  EXPECT_EQ(p.Max(), 1.0);
  EXPECT_EQ(p.Type(), TypeDouble);
}

TEST(IParameter, DisplayPrecisionFollowsStep) {
  const double steps[] = {1.0, 0.5, 0.1, 0.01, 1e-7};
  const int decimals[] = {0, 1, 1, 2, 6};
  for (int i = 0; i < 5; ++i) {
    IParameter p;
    p.DefineDouble("x", 0.0, 0.0, 10.0, steps[i]);
    EXPECT_EQ(p.DisplayPrecision(), decimals[i]) << steps[i];
  }
}

TEST(IParameter, DefinitionKeepsKindAndUnclampedDefault) {
  IParameter p;
  p.DefineEnum("Channel", 5, 2);  // default outside the range stays as given
  EXPECT_EQ(p.Type(), TypeEnum);
  EXPECT_EQ(p.Value(), 5.0);
  EXPECT_EQ(p.Max(), 1.0);
  IParameter b;
  b.DefineBool("Transients", true);
  EXPECT_EQ(b.Type(), TypeBool);
  ASSERT_EQ(b.DisplayTextCount(), 2);
  EXPECT_STREQ(b.DisplayTextAt(0).text, "off");
  EXPECT_STREQ(b.DisplayTextAt(1).text, "on");
  IParameter i;
  i.DefineInt("n", 3, -1, 1000000);
  EXPECT_EQ(i.Type(), TypeInt);
  EXPECT_EQ(i.Step(), 1.0);
}

TEST(IParameter, EnumPositionsRoundHalfUpToTheStepGrid) {
  NineChoices p;
  p.SetFromPosition(0.56);  // 4.48
  EXPECT_EQ(p.Value(), 4.0);
  p.SetFromPosition(0.57);  // 4.56
  EXPECT_EQ(p.Value(), 5.0);
  p.SetFromPosition(1.0);
  EXPECT_EQ(p.Value(), 8.0);
  p.SetFromPosition(0.5);  // exactly 4.0
  EXPECT_EQ(p.Value(), 4.0);
  EXPECT_EQ(p.GetPosition(), 0.5);
}

TEST(IParameter, ContinuousPositionsAreNotQuantised) {
  Continuous p;
  p.SetFromPosition(0.5);
  EXPECT_EQ(p.Value(), 0.0);
  EXPECT_EQ(Display(p, p.Value()), "0.0");
  p.SetFromPosition(0.25);
  EXPECT_EQ(p.Value(), -5.0);
  EXPECT_EQ(Display(p, p.Value()), "-5.0");
  p.SetFromPosition(0.123);
  EXPECT_EQ(p.Value(), 0.123 * 20.0 + -10.0);
}

TEST(IParameter, PositionAboveOneGivesMaximumNeverMore) {
  Continuous p;
  p.SetFromPosition(1.0000001);
  EXPECT_EQ(p.Value(), 10.0);
}

TEST(IParameter, PositionsAreLimitedToTheRange) {
  Continuous p;
  EXPECT_EQ(p.PositionOf(-30.0), 0.0);
  EXPECT_EQ(p.PositionOf(30.0), 1.0);
}

TEST(IParameter, ShapeGivesFinerResolutionNearMinimum) {
  IParameter p;
  p.DefineDouble("x", 0.0, 0.0, 100.0, 0.1, "", 2.0);
  p.SetFromPosition(0.5);
  EXPECT_EQ(p.Value(), 25.0);
  EXPECT_EQ(p.GetPosition(), 0.5);
  p.DefineDouble("x", 0.0, 0.0, 100.0, 0.1, "", 0.0);  // a shape of 0 keeps the previous one
  EXPECT_EQ(p.Shape(), 2.0);
}

TEST(IParameter, NonFiniteInputNeverBecomesTheValue) {
  Continuous p;
  p.SetClamped(3.0);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  for (double bad : {nan, inf, -inf}) {
    p.SetFromPosition(bad);
    p.SetClamped(bad);
    EXPECT_EQ(p.Value(), 3.0);
  }
  p.SetClamped(99.0);
  EXPECT_EQ(p.Value(), 10.0);
}

TEST(IParameter, DisplayTextsReplaceNumbersAndHideTheLabel) {
  IParameter b;
  b.DefineBool("Transients", false, "x");
  b.SetClamped(1.0);
  EXPECT_EQ(Display(b, b.Value()), "on");
  EXPECT_STREQ(b.HostLabel(), "");

  NineChoices e;
  e.DefineEnum("LF Cut", 1, 9, "Hz");
  e.AddDisplayText(0, "20 Hz");
  e.AddDisplayText(1, "");
  e.SetClamped(1.0);
  EXPECT_EQ(Display(e, 0.0), "20 Hz");
  EXPECT_EQ(Display(e, 1.0), "1");  // an empty text falls through to the number
  EXPECT_STREQ(e.HostLabel(), "Hz");
  e.SetClamped(5.0);  // no entry at all
  EXPECT_EQ(Display(e, e.Value()), "5");
  EXPECT_STREQ(e.HostLabel(), "Hz");
  char text[kParameterTextBytes];
  e.FormatDisplay(0.0, false, text, sizeof(text), false);
  EXPECT_STREQ(text, "0");
}

TEST(IParameter, WholeNumberDisplayTruncatesTowardZero) {
  IParameter p;
  p.DefineDouble("x", 0.0, -5.0, 5.0, 1.0);
  EXPECT_EQ(Display(p, 2.9), "2");
  EXPECT_EQ(Display(p, -2.9), "-2");
  // Far outside the int range the number is still written, cut to the buffer.
  const std::string huge = Display(p, 1e300);
  EXPECT_EQ(huge.size(), kParameterTextBytes - 1);
  EXPECT_EQ(huge.substr(0, 4), "1000");
}

TEST(IParameter, NormalisedDisplayAndNegation) {
  Continuous p;
  EXPECT_EQ(Display(p, 0.75, true), "5.0");
  p.SetNegateDisplay(true);
  EXPECT_EQ(Display(p, 0.75, true), "-5.0");
  EXPECT_EQ(Display(p, 1.25, true), "-15.0");  // the normalised path neither rounds nor limits
}

}  // namespace torvane
