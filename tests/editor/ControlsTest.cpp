// The controls: value flow of a gesture, paint flags and default values,
// switches, faders and the wheel, the read-outs with typed entry, and meters.
#include <gtest/gtest.h>

#include "EditorTestDoubles.h"
#include "editor/IFaderControl.h"
#include "editor/IHBiDirMeterControl.h"
#include "editor/ISwitchControl.h"
#include "editor/TextEntryEnumType.h"
#include "effect/Torvane.h"
#include "raster/ClearBitmap.h"
#include "support/RecordingHost.h"
#include "tests/support/VstHosted.h"

namespace torvane {

namespace {

class Controls : public ::testing::Test {
 protected:
  void SetUp() override {
    TestImages().clear();
    AddTestImage(9301, 22, 40, [](int, int) { return 0xFFFFFFFFu; });
    AddTestImage(9302, 34, 36, [](int, int) { return 0xFF808080u; });
    AddTestImage(9303, 34, 24, [](int, int) { return 0xFF808080u; });
    graphics->PrepareSurface();
  }

  template <class Control, class... Args>
  Control* Add(Args&&... args) {
    auto control = std::make_unique<Control>(&effect, std::forward<Args>(args)...);
    Control* raw = control.get();
    graphics->AddControl(std::move(control));
    return raw;
  }

  // A fader of travel 240 at (49, 70) with a 40-pixel handle.
  IFaderControl* AddFader(int parameter) {
    return Add<IFaderControl>(49, 70, 240, parameter, graphics->LoadImageStrip(9301, "test/handle.png", 1));
  }

  // Paint passes until the control is clean; how many there were.
  int PassesPainting(IControl* control) {
    int passes = 0;
    for (; passes < 5 && control->NeedsRepaint(); ++passes) graphics->PaintArea({0, 0, 720, 420});
    return passes;
  }

  EventLog log;
  RecordingEffect effect{&log};
  std::unique_ptr<TestGraphics> owned = std::make_unique<TestGraphics>(effect);
  TestGraphics* graphics = owned.get();
  const IMouseKeys left{true};
};

}  // namespace

TEST_F(Controls, GestureSendsOneAutomationPerChangeBetweenBeginAndEnd) {
  AddFader(0);
  effect.AttachEditor(std::move(owned));
  graphics->HandleMouseDown(60, 190, left);
  graphics->HandleMouseDrag(60, 200, left);
  graphics->HandleMouseDrag(60, 200, left);
  graphics->HandleMouseDrag(61, 330, left);  // below the track: clamped
  graphics->HandleMouseUp(61, 330, left);
  const EventLog expected = {"begin 0", "automate 0 0.5", "automate 0 0.45", "automate 0 0", "end 0"};
  EXPECT_EQ(log, expected);
  EXPECT_EQ(effect.GetParameter(0)->Value(), 0.0);
}

TEST_F(Controls, ValuesFromTheEffectSetTheDefaultOnceAndRepaintTwiceWhenTheyDiffer) {
  IFaderControl* fader = AddFader(RecordingEffect::kSteps);
  fader->DoubleClick(0, 0, left);  // no default yet: nothing happens
  graphics->PaintArea({0, 0, 720, 420});
  fader->SetValueFromEffect(0.7);
  EXPECT_EQ(fader->DefaultValue(), 0.7);
  EXPECT_FALSE(fader->NeedsRepaint());  // the value did not change
  effect.AttachEditor(std::move(owned));  // pushes 0, which is no default any more
  EXPECT_EQ(fader->DefaultValue(), 0.7);
  EXPECT_EQ(PassesPainting(fader), 2);

  // The parameter keeps whole numbers: the value it stored comes back.
  graphics->HandleMouseDown(60, 184, left);  // 1 - 94 / 200 = 0.53
  graphics->HandleMouseUp(60, 184, left);
  EXPECT_EQ(effect.GetParameter(RecordingEffect::kSteps)->Value(), 5.0);
  EXPECT_EQ(fader->Value(), 0.5);
  EXPECT_EQ(PassesPainting(fader), 2);
  fader->SetValueFromEffect(0.5);
  EXPECT_FALSE(fader->NeedsRepaint());
  fader->MarkDirty(false);  // a bare MarkDirty paints once
  EXPECT_EQ(PassesPainting(fader), 1);
  fader->SetHidden(true);
  EXPECT_EQ(PassesPainting(fader), 2);
  fader->DoubleClick(0, 0, left);
  EXPECT_EQ(fader->Value(), 0.7);
  const EventLog expected = {"begin 3", "automate 3 0.53", "end 3", "automate 3 0.7"};
  EXPECT_EQ(log, expected);
}

TEST_F(Controls, SwitchesStepThroughTheirFramesAndWrap) {
  ISwitchControl* trim = Add<ISwitchControl>(95, 335, 0, graphics->LoadImageStrip(9302, "test/trim.png", 3));
  ISwitchControl* onOff = Add<ISwitchControl>(95, 359, 1, graphics->LoadImageStrip(9303, "test/onoff.png", 2));
  EXPECT_EQ(trim->DrawRect(), (IBounds{95, 335, 129, 347}));
  std::vector<double> steps;
  for (int i = 0; i < 3; ++i) {
    trim->MouseDown(100, 340, left);
    steps.push_back(trim->Value());
  }
  EXPECT_EQ(steps, (std::vector<double>{0.5, 1.0, 0.0}));
  onOff->MouseDown(0, 0, {false, true});  // any button
  EXPECT_EQ(onOff->Value(), 1.0);
  onOff->DoubleClick(0, 0, left);  // one step more
  EXPECT_EQ(onOff->Value(), 0.0);
  EXPECT_EQ(effect.GetParameter(1)->Value(), 0.0);
  for (auto [value, frame] : {std::pair{0.24, 1}, {0.25, 2}, {0.74, 2}, {0.75, 3}, {1.0, 3}}) {
    trim->SetValueFromEffect(value);
    EXPECT_EQ(trim->Frame(), frame) << value;
  }
  trim->SetDisabled(true);
  EXPECT_EQ(trim->Blend().weight, 0.25f);
}

TEST_F(Controls, FaderFollowsThePointerWithinItsTrackAndTheWheelInSmallSteps) {
  IFaderControl* fader = AddFader(0);
  EXPECT_EQ(fader->DrawRect(), (IBounds{49, 70, 71, 310}));
  for (auto [y, value] : {std::pair{90, 1.0}, {290, 0.0}, {190, 0.5}, {40, 1.0}, {400, 0.0}}) {
    fader->MouseDown(60, y, left);
    EXPECT_EQ(fader->Value(), value) << y;
  }
  fader->MouseDown(60, 90, {false, true});  // the right button moves nothing
  EXPECT_EQ(fader->Value(), 0.0);
  // The handle sits int(200 x (1 - value)) pixels below the top.
  for (auto [value, top] : {std::pair{1.0, 70}, {0.0, 270}, {0.333, 203}}) {
    ClearBitmap(graphics->Surface());
    fader->SetValueFromEffect(value);
    graphics->PaintArea({0, 0, 720, 420});
    EXPECT_EQ(SurfacePixel(*graphics, 49, top), 0xFFFFFFFFu) << value;
    EXPECT_EQ(SurfacePixel(*graphics, 70, top + 39), 0xFFFFFFFFu) << value;
    EXPECT_EQ(SurfacePixel(*graphics, 49, top - 1) | SurfacePixel(*graphics, 49, top + 40), 0u) << value;
  }

  log.clear();
  fader->SetValueFromEffect(0.5);
  graphics->HandleWheel(60, 100, {false, false, true}, 10);  // shift
  EXPECT_DOUBLE_EQ(fader->Value(), 0.51);
  graphics->HandleWheel(60, 100, {false, false, false, true}, -20);  // control
  EXPECT_DOUBLE_EQ(fader->Value(), 0.49);
  graphics->HandleWheel(60, 100, {}, 3);
  EXPECT_DOUBLE_EQ(fader->Value(), 0.52);
  EXPECT_EQ(log.size(), 3u);  // automation only: no begin or end edit
}

TEST(ReadOuts, ShowTheValueWithItsUnitAndTakeTypedNumbers) {
  RecordingHost host;
  VstHosted<Torvane> effectHosted{RecordingHost::Callback};
  Torvane& effect = effectHosted.effect;
  auto owned = std::make_unique<TestGraphics>(effect);
  TestGraphics* graphics = owned.get();
  static const double kCutoffs[] = {20, 30, 40, 50, 60, 70, 80, 90, 100};
  auto* db = new TextEntry(&effect, {161, 385, 201, 399}, ITextStyle{}, Torvane::kSubBass);
  auto* hz = new TextEntryEnumType(&effect, {591, 305, 631, 319}, ITextStyle{}, Torvane::kLfCut, kCutoffs, 9);
  graphics->AddControl(std::unique_ptr<IControl>(db));
  graphics->AddControl(std::unique_ptr<IControl>(hz));
  effect.AttachEditor(std::move(owned));
  graphics->PaintArea({0, 0, 720, 420});
  EXPECT_STREQ(db->DisplayText(), "0.0 dB");
  EXPECT_STREQ(hz->DisplayText(), "30 Hz ");  // the choice's own text, no unit after it

  // A press opens the entry box with the painted text; the click is one edit.
  graphics->HandleMouseDown(170, 390, {true});
  graphics->HandleMouseUp(170, 390, {true});
  EXPECT_EQ(graphics->entryControl, db);
  EXPECT_EQ(graphics->entryText, "0.0 dB");
  EXPECT_EQ(graphics->entryParameter, nullptr);
  EXPECT_EQ(db->TextEntryLength(), 7);
  for (auto [text, value] : {std::pair{"99", 10.0}, {"abc", 0.0}, {" -3.5 dB", -3.5}, {"-1e1", -10.0}, {"2,5", 2.0}}) {
    db->AcceptText(text);
    EXPECT_EQ(effect.GetParameter(Torvane::kSubBass)->Value(), value) << text;
  }
  // The last choice not above the number: 75 is 70 Hz.
  for (auto [text, choice] : {std::pair{"55", 3.0}, {"10", 0.0}, {"1000", 8.0}, {"59.9", 3.0}, {"75", 5.0}}) {
    hz->AcceptText(text);
    EXPECT_EQ(effect.GetParameter(Torvane::kLfCut)->Value(), choice) << text;
  }
  graphics->PaintArea({0, 0, 720, 420});
  EXPECT_STREQ(hz->DisplayText(), "70 Hz ");
  hz->AcceptText(hz->DisplayText());  // the painted text commits unchanged
  EXPECT_EQ(effect.GetParameter(Torvane::kLfCut)->Value(), 5.0);
  EXPECT_EQ(host.CountOf(audioMasterAutomate), 11);
  EXPECT_EQ(host.CountOf(audioMasterBeginEdit), 1);
}

TEST_F(Controls, MeterBarGrowsFromTheCentreAndShiftsColourWithDeflection) {
  IHBiDirMeterControl* meter = Add<IHBiDirMeterControl>(IBounds{261, 72, 460, 78});
  meter->SetColours({150, 50, 255, 50}, {150, 255, 50, 50});
  EXPECT_EQ(meter->HalfWidth(), 99);
  // Colour channel = int((extreme - centre) x sqrt(|v - 0.5| x 2) + centre).
  const struct {
    double value;
    IBounds bar;
    IArgb colour;
  } cases[] = {
      {0.5, {360, 72, 360, 78}, {150, 50, 255, 50}},   // nothing drawn
      {0.4, {341, 72, 361, 78}, {150, 141, 163, 50}},  // int(-19.8) = -19
      {0.75, {360, 72, 409, 78}, {150, 194, 110, 50}},
      {1.0, {360, 72, 459, 78}, {150, 255, 50, 50}},
  };
  for (const auto& c : cases) {
    ClearBitmap(graphics->Surface());
    meter->SetValueFromEffect(c.value);
    IBounds area;
    ASSERT_TRUE(graphics->CollectDirtyArea(area));  // a meter is always collected
    graphics->PaintArea(area);
    EXPECT_EQ(meter->BarRect(), c.bar) << c.value;
    EXPECT_EQ(meter->CurrentColour().Packed(), c.colour.Packed()) << c.value;
    for (int x = 330; x < 470; ++x) {
      EXPECT_EQ(SurfacePixel(*graphics, x, 75) != 0, x >= c.bar.left && x < c.bar.right) << c.value << " at " << x;
    }
  }
}

}  // namespace torvane
