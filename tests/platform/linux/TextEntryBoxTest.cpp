// Editing in the typed-entry box the X11 editor draws: what it takes, how the
// selection and caret move, and its length limit.
#include <gtest/gtest.h>

#include <string>

#include "editor/IControl.h"
#include "framework/IParameter.h"
#include "platform/linux/TextEntryBox.h"

namespace torvane {

namespace {

class Readout : public IControl {
 public:
  Readout() : IControl(nullptr, {10, 10, 80, 30}) {}
  bool Paint(IGraphics&) override { return true; }
};

std::string TypeInto(TextEntryBox& box, const char* keys) {
  for (const char* k = keys; *k; ++k) box.Type(*k);
  return box.Text();
}

}  // namespace

TEST(TextEntryBox, TypingReplacesTheShownValueAndKeepsOnlyWhatTheParameterTypeCanHold) {
  Readout readout;
  IParameter steps, level;
  steps.DefineInt("Steps", 0, 0, 10);
  level.DefineDouble("Level", 0.0, -10.0, 10.0, 0.1, "dB");
  TextEntryBox whole(readout, readout.TextStyle(), readout.DrawRect(), "3 st", &steps);
  EXPECT_EQ(whole.SelectionEnd() - whole.SelectionStart(), 4);
  EXPECT_EQ(TypeInto(whole, "1.5"), "15");
  TextEntryBox fraction(readout, readout.TextStyle(), readout.DrawRect(), "0.0 dB", &level);
  EXPECT_EQ(TypeInto(fraction, "-1.5"), "-1.5");
  // The box covers one more pixel to the right and below, as native boxes do.
  EXPECT_EQ(whole.Rect(), (IBounds{10, 10, 81, 31}));
}

TEST(TextEntryBox, HoldsTheControlsEntryLengthOfCharacters) {
  Readout readout;
  TextEntryBox box(readout, readout.TextStyle(), readout.DrawRect(), "", nullptr);
  EXPECT_EQ(TypeInto(box, "123456789"), "1234567");
  EXPECT_FALSE(box.Type('x'));
  EXPECT_FALSE(box.Type('\t'));
}

TEST(TextEntryBox, CaretAndSelectionEditLikeANativeBox) {
  Readout readout;
  TextEntryBox box(readout, readout.TextStyle(), readout.DrawRect(), "12345", nullptr);
  box.MoveCaret(2, false);
  box.Backspace();
  EXPECT_EQ(std::string(box.Text()), "1345");
  EXPECT_EQ(box.Caret(), 1);
  box.DeleteForward();
  EXPECT_EQ(std::string(box.Text()), "145");
  box.MoveCaret(0, false);
  box.MoveCaret(2, true);
  EXPECT_EQ(TypeInto(box, "9"), "95");
  box.MoveCaret(99, false);
  EXPECT_EQ(box.Caret(), 2);
  box.Backspace();
  box.Backspace();
  box.Backspace();
  EXPECT_EQ(std::string(box.Text()), "");
  EXPECT_EQ(box.Caret(), 0);
}

}  // namespace torvane
