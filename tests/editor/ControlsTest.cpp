// The controls: value flow of a gesture, paint flags, default values,
// switches, faders, the wheel, the read-outs with typed entry, and meters.
#include <gtest/gtest.h>

#include "EditorTestDoubles.h"
#include "editor/IFaderControl.h"
#include "editor/IHBiDirMeterControl.h"
#include "editor/ISwitchControl.h"
#include "editor/TextEntry.h"
#include "editor/TextEntryEnumType.h"
#include "raster/ClearBitmap.h"
#include "effect/Torvane.h"
#include "support/RecordingHost.h"

namespace torvane {

namespace {

constexpr int kHandleId = 9301;       // 22 x 40, opaque white
constexpr int kThreeFrameId = 9302;   // 34 x 36
constexpr int kTwoFrameId = 9303;     // 34 x 24

class Controls : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetTestImages();
    AddTestImage(kHandleId, 22, 40, [](int, int) { return 0xFFFFFFFFu; });
    AddTestImage(kThreeFrameId, 34, 36, [](int, int) { return 0xFF808080u; });
    AddTestImage(kTwoFrameId, 34, 24, [](int, int) { return 0xFF808080u; });
    auto owned = std::make_unique<TestGraphics>(effect);
    graphics = owned.get();
    handle = &graphics->LoadImageStrip(kHandleId, "test/handle.png", 1);
    ownedGraphics = std::move(owned);
  }

  // Attaches the editor as the plug-in does: every control gets its
  // parameter's value, which also becomes its default.
  void Attach() { effect.AttachEditor(std::move(ownedGraphics)); }

  template <class Control, class... Args>
  Control* Add(Args&&... args) {
    auto control = std::make_unique<Control>(std::forward<Args>(args)...);
    Control* raw = control.get();
    graphics->AddControl(std::move(control));
    return raw;
  }

  // Paint passes until nothing is dirty; how many painted the control.
  int PassesPainting(IControl* control) {
    int passes = 0;
    for (int i = 0; i < 5 && control->NeedsRepaint(); ++i) {
      graphics->PaintArea({0, 0, 720, 420});
      ++passes;
    }
    return passes;
  }

  EventLog log;
  RecordingEffect effect{&log};
  std::unique_ptr<IGraphics> ownedGraphics;
  TestGraphics* graphics = nullptr;
  IImageStrip* handle = nullptr;
  IMouseKeys left{true};
};

}  // namespace

TEST_F(Controls, GestureSendsOneAutomationPerChangeBetweenBeginAndEnd) {
  IFaderControl* fader = Add<IFaderControl>(&effect, 49, 70, 240, 0, *handle);
  Attach();
  graphics->HandleMouseDown(60, 190, left);
  graphics->HandleMouseDrag(60, 200, left);
  graphics->HandleMouseDrag(60, 200, left);
  graphics->HandleMouseDrag(61, 330, left);  // below the track: clamped
  graphics->HandleMouseUp(61, 330, left);
  const EventLog expected = {"begin 0", "automate 0 0.5", "automate 0 0.45", "automate 0 0", "end 0"};
  EXPECT_EQ(log, expected);
  EXPECT_EQ(fader->Value(), 0.0);
  EXPECT_EQ(effect.GetParameter(0)->Value(), 0.0);
}

TEST_F(Controls, ValuesFromTheEffectSetTheDefaultOnceAndRepaintTwiceWhenTheyDiffer) {
  IFaderControl* fader = Add<IFaderControl>(&effect, 49, 70, 240, RecordingEffect::kSteps, *handle);
  fader->DoubleClick(0, 0, left);  // no default yet: nothing happens
  graphics->PaintArea({0, 0, 720, 420});
  fader->SetValueFromEffect(0.7);
  EXPECT_EQ(fader->DefaultValue(), 0.7);
  EXPECT_FALSE(fader->NeedsRepaint());  // the value did not change
  Attach();                             // pushes 0, which is no default any more
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
  IImageStrip& three = graphics->LoadImageStrip(kThreeFrameId, "test/trim.png", 3);
  IImageStrip& two = graphics->LoadImageStrip(kTwoFrameId, "test/onoff.png", 2);
  ISwitchControl* trim = Add<ISwitchControl>(&effect, 95, 335, 0, three);
  ISwitchControl* onOff = Add<ISwitchControl>(&effect, 95, 359, 1, two);
  EXPECT_EQ(trim->DrawRect(), (IBounds{95, 335, 129, 347}));
  Attach();
  std::vector<double> steps;
  for (int i = 0; i < 3; ++i) {
    graphics->HandleMouseDown(100, 340, left);
    graphics->HandleMouseUp(100, 340, left);
    steps.push_back(trim->Value());
  }
  EXPECT_EQ(steps, (std::vector<double>{0.5, 1.0, 0.0}));
  onOff->MouseDown(0, 0, {false, true});  // any button
  EXPECT_EQ(onOff->Value(), 1.0);
  onOff->DoubleClick(0, 0, left);  // one step more
  EXPECT_EQ(onOff->Value(), 0.0);
  EXPECT_EQ(effect.GetParameter(1)->Value(), 0.0);

  const std::pair<double, int> frames[] = {{0.0, 1}, {0.24, 1}, {0.25, 2}, {0.74, 2}, {0.75, 3}, {1.0, 3}};
  for (const auto& [value, frame] : frames) {
    trim->SetValueFromEffect(value);
    EXPECT_EQ(trim->Frame(), frame) << value;
  }
  trim->SetDisabled(true);
  EXPECT_EQ(trim->Blend().weight, 0.25f);
  graphics->HandleMouseDown(100, 340, left);
  EXPECT_EQ(trim->Value(), 1.0);
  trim->SetDisabled(false);
  EXPECT_EQ(trim->Blend().weight, 1.0f);
}

TEST_F(Controls, FaderSnapsItsHandleCentreToThePointerWithinItsTrack) {
  IFaderControl* fader = Add<IFaderControl>(&effect, 49, 70, 240, 0, *handle);
  EXPECT_EQ(fader->DrawRect(), (IBounds{49, 70, 71, 310}));
  EXPECT_TRUE(fader->UnscaledRect().Empty());
  const std::pair<int, double> positions[] = {{90, 1.0}, {290, 0.0}, {190, 0.5}, {40, 1.0}, {400, 0.0}};
  for (const auto& [y, value] : positions) {
    fader->MouseDown(60, y, left);
    EXPECT_EQ(fader->Value(), value) << y;
  }
  fader->MouseDown(60, 90, {false, true});  // the right button moves nothing
  EXPECT_EQ(fader->Value(), 0.0);

  // The handle sits (240 - 40) x (1 - value) pixels below the top.
  graphics->PrepareSurface();
  for (const auto& [value, handleTop] : {std::pair<double, int>{1.0, 70}, {0.0, 270}, {0.5, 170}, {0.333, 203}}) {
    ClearBitmap(graphics->Surface());
    fader->SetValueFromEffect(value);
    graphics->PaintArea({0, 0, 720, 420});
    EXPECT_EQ(SurfacePixel(*graphics, 49, handleTop), 0xFFFFFFFFu) << value;
    EXPECT_EQ(SurfacePixel(*graphics, 70, handleTop + 39), 0xFFFFFFFFu) << value;
    EXPECT_EQ(SurfacePixel(*graphics, 49, handleTop - 1), 0u) << value;
    EXPECT_EQ(SurfacePixel(*graphics, 49, handleTop + 40), 0u) << value;
  }
  fader->Rescale(1.5);
  EXPECT_EQ(fader->TravelLength(), 360);
  EXPECT_EQ(fader->HandleSize(), 60);
}

TEST_F(Controls, WheelMovesAHundredthPerNotchOrAThousandthWithAModifier) {
  IFaderControl* fader = Add<IFaderControl>(&effect, 49, 70, 240, 0, *handle);
  Attach();
  fader->SetValueFromEffect(0.5);
  graphics->HandleWheel(60, 100, {false, false, true}, 10);  // shift
  EXPECT_DOUBLE_EQ(fader->Value(), 0.51);
  graphics->HandleWheel(60, 100, {false, false, false, true}, -20);  // control
  EXPECT_DOUBLE_EQ(fader->Value(), 0.49);
  graphics->HandleWheel(60, 100, {}, 3);
  EXPECT_DOUBLE_EQ(fader->Value(), 0.52);
  graphics->HandleWheel(60, 100, {}, 100);
  EXPECT_EQ(fader->Value(), 1.0);
  // Every step is automation; the wheel brackets nothing with begin and end.
  ASSERT_EQ(log.size(), 4u);
  for (const std::string& line : log) EXPECT_EQ(line.rfind("automate 0 ", 0), 0u) << line;
}

TEST(ReadOuts, ShowTheValueWithItsUnitAndTakeTypedNumbers) {
  ResetTestImages();
  RecordingHost host;
  Torvane effect{RecordingHost::Callback};
  auto owned = std::make_unique<TestGraphics>(effect);
  TestGraphics* graphics = owned.get();
  ITextStyle style;
  style.SetFontName("Arial");
  style.size = 13;
  auto subBass = std::make_unique<TextEntry>(&effect, IBounds{161, 385, 201, 399}, style, Torvane::kSubBass);
  static const double kCutoffs[] = {20, 30, 40, 50, 60, 70, 80, 90, 100};
  auto lfCut = std::make_unique<TextEntryEnumType>(&effect, IBounds{591, 305, 631, 319}, style, Torvane::kLfCut,
                                                   kCutoffs, 9);
  TextEntry* db = subBass.get();
  TextEntryEnumType* hz = lfCut.get();
  graphics->AddControl(std::move(subBass));
  graphics->AddControl(std::move(lfCut));
  effect.AttachEditor(std::move(owned));
  graphics->PaintArea({0, 0, 720, 420});
  EXPECT_STREQ(db->DisplayText(), "0.0 dB");
  EXPECT_STREQ(hz->DisplayText(), "30 Hz ");  // the choice's own text, and no unit after it

  graphics->HandleMouseDown(170, 390, {true});
  EXPECT_EQ(graphics->entryControl, db);
  EXPECT_EQ(graphics->entryText, "0.0 dB");
  EXPECT_EQ(graphics->entryRect, (IBounds{161, 385, 201, 399}));
  EXPECT_EQ(graphics->entryParameter, nullptr);
  EXPECT_EQ(db->TextEntryLength(), 7);
  graphics->HandleMouseUp(170, 390, {true});

  const std::pair<const char*, double> decibels[] = {
      {"99", 10.0}, {"abc", 0.0}, {" -3.5 dB", -3.5}, {"-1e1", -10.0}, {"0.0 dB", 0.0}, {"2,5", 2.0}};
  for (const auto& [text, value] : decibels) {
    db->AcceptText(text);
    EXPECT_EQ(effect.GetParameter(Torvane::kSubBass)->Value(), value) << text;
  }
  // The last choice not above the number: 75 is 70 Hz.
  const std::pair<const char*, double> cutoffs[] = {{"55", 3}, {"10", 0}, {"1000", 8}, {"59.9", 3}, {"75", 5}};
  for (const auto& [text, choice] : cutoffs) {
    hz->AcceptText(text);
    EXPECT_EQ(effect.GetParameter(Torvane::kLfCut)->Value(), choice) << text;
  }
  graphics->PaintArea({0, 0, 720, 420});
  EXPECT_STREQ(hz->DisplayText(), "70 Hz ");
  hz->AcceptText(hz->DisplayText());  // the painted text commits unchanged
  EXPECT_EQ(effect.GetParameter(Torvane::kLfCut)->Value(), 5.0);
  EXPECT_EQ(host.CountOf(audioMasterAutomate), 12);
}

TEST(Meters, BarGrowsFromTheCentreAndShiftsColourWithDeflection) {
  RecordingEffect effect;
  TestGraphics graphics{effect};
  graphics.PrepareSurface();
  auto owned = std::make_unique<IHBiDirMeterControl>(&effect, IBounds{261, 72, 460, 78});
  IHBiDirMeterControl* meter = owned.get();
  meter->SetColours({150, 50, 255, 50}, {150, 255, 50, 50});
  graphics.AddControl(std::move(owned));
  EXPECT_EQ(meter->HalfWidth(), 99);

  struct Case {
    double value;
    IBounds bar;
    IArgb colour;
  };
  // Colour channel = int((extreme - centre) x sqrt(|v - 0.5| x 2) + centre).
  const Case cases[] = {
      {0.5, {360, 72, 360, 78}, {150, 50, 255, 50}},   // nothing drawn
      {0.4, {341, 72, 361, 78}, {150, 141, 163, 50}},  // int(-19.8) = -19
      {0.75, {360, 72, 409, 78}, {150, 194, 110, 50}},
      {1.0, {360, 72, 459, 78}, {150, 255, 50, 50}},
  };
  for (const Case& c : cases) {
    ClearBitmap(graphics.Surface());
    meter->SetValueFromEffect(c.value);
    IBounds area;
    ASSERT_TRUE(graphics.CollectDirtyArea(area));  // a meter is always collected
    graphics.PaintArea(area);
    EXPECT_EQ(meter->BarRect(), c.bar) << c.value;
    const IArgb& colour = meter->CurrentColour();
    EXPECT_EQ(colour.Packed(), c.colour.Packed()) << c.value;
    for (int x = 330; x < 470; ++x) {
      const bool inBar = x >= c.bar.left && x < c.bar.right;
      EXPECT_EQ(SurfacePixel(graphics, x, 75) != 0, inBar) << c.value << " at " << x;
    }
  }
}

}  // namespace torvane
