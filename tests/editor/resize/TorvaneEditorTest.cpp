// The editor the effect builds: its controls in order with their places,
// parameters, images and text styles.
#include <typeindex>
#include <typeinfo>

#include "ScratchEditor.h"
#include "editor/IBitmapControl.h"
#include "editor/IFaderControl.h"
#include "editor/IHBiDirMeterControl.h"
#include "editor/ISwitchControl.h"
#include "editor/ITextControl.h"
#include "editor/RasterCache.h"
#include "editor/TextEntry.h"
#include "editor/TextEntryEnumType.h"
#include "editor/resize/SideResizeHandle.h"
#include "support/RecordingHost.h"
#include "tests/support/VstHosted.h"

namespace torvane {

namespace {
struct Expected {
  std::type_index type;
  int parameter;
  IBounds rect;
};

Expected Fader(int parameter, int x, int y, int travel) {
  return {typeid(IFaderControl), parameter, {x, y, x + 22, y + travel}};
}
Expected ReadOut(int parameter, int left, int top) {
  return {typeid(TextEntry), parameter, {left, top, left + 40, top + 14}};
}
Expected Meter(int top) { return {typeid(IHBiDirMeterControl), -1, {261, top, 460, top + 6}}; }

// The pixels of the screen that a full repaint of the present state changes.
int ChangedByFullRepaint(ScratchGraphics& graphics) {
  const std::vector<uint32_t> shown = graphics.screen;
  graphics.PaintArea({0, 0, graphics.Width(), graphics.Height()});
  int changed = 0;
  for (size_t i = 0; i < shown.size(); ++i) changed += shown[i] != graphics.screen[i];
  return changed;
}

void Click(IGraphics& graphics, int x, int y) {
  graphics.HandleMouseDown(x, y, IMouseKeys{true});
  graphics.HandleMouseUp(x, y, IMouseKeys{});
}
}  // namespace

using TorvaneEditor = ScratchEditor;

TEST_F(TorvaneEditor, HoldsItsThirtyEightControlsInOrderAtTheirPlaces) {
  VstHosted<Torvane> effectHosted;
  Torvane& effect = effectHosted.effect;
  IGraphics& graphics = Graphics(effect);
  Expected cut = ReadOut(9, 591, 305);
  cut.type = typeid(TextEntryEnumType);
  const Expected expected[] = {
      {typeid(IBitmapControl), -1, {0, 0, 720, 420}},
      {typeid(ISwitchControl), 11, {95, 335, 129, 347}},
      {typeid(ISwitchControl), 12, {95, 359, 129, 371}},
      {typeid(ISwitchControl), 13, {94, 383, 128, 395}},
      Fader(0, 49, 70, 240), Fader(1, 99, 70, 240), Fader(2, 169, 220, 170), Fader(3, 229, 220, 170),
      Fader(4, 289, 220, 170), Fader(5, 349, 220, 170), Fader(6, 409, 220, 170), Fader(7, 469, 220, 170),
      Fader(8, 529, 220, 170), Fader(9, 599, 70, 240), Fader(10, 649, 70, 240),
      ReadOut(0, 41, 305), ReadOut(1, 91, 305), ReadOut(2, 161, 385), ReadOut(3, 221, 385),
      ReadOut(4, 281, 385), ReadOut(5, 341, 385), ReadOut(6, 401, 385), ReadOut(7, 461, 385),
      ReadOut(8, 521, 385), cut, ReadOut(10, 641, 305),
      Meter(72), Meter(81), Meter(90), Meter(99), Meter(108), Meter(117), Meter(126), Meter(145),
      {typeid(ITextControl), -1, {666, 13, 700, 23}},
      {typeid(VerticalResizing), -1, {0, 420, 720, 420}},
      {typeid(HorisontalResizing), -1, {720, 0, 720, 420}},
      {typeid(IEditorResize), -1, {700, 400, 720, 420}},
  };
  ASSERT_EQ(graphics.ControlCount(), 38);
  for (int i = 0; i < 38; ++i) {
    const IControl& control = *graphics.GetControl(i);
    EXPECT_EQ(std::type_index(typeid(control)), expected[i].type) << i;
    EXPECT_EQ(control.ParameterIndex(), expected[i].parameter) << i;
    EXPECT_EQ(control.DrawRect(), expected[i].rect) << i;
    EXPECT_EQ(control.Hidden(), i == 35 || i == 36) << i;
  }
  EXPECT_STREQ(static_cast<const ITextControl*>(graphics.GetControl(34))->Text(), "Build 170704");
  EXPECT_EQ(effectHosted.Adapter().EditorRect().right, 720);
  EXPECT_EQ(effectHosted.Adapter().EditorRect().bottom, 420);
}

TEST_F(TorvaneEditor, ImagesStylesAndValuesFollowTheParameters) {
  VstHosted<Torvane> effectHosted;
  Torvane& effect = effectHosted.effect;
  Open(effect);
  IGraphics& graphics = Graphics(effect);
  // At scale 1 from a third of the images' size, stacked frames one row apart.
  const int sizes[][3] = {{100, 720, 420}, {101, 22, 40}, {102, 34, 39}, {103, 34, 26}, {104, 34, 26}};
  for (const auto& size : sizes) {
    EXPECT_EQ(RasterCache::Instance().Find(size[0])->Width(), size[1]) << size[0];
    EXPECT_EQ(RasterCache::Instance().Find(size[0])->Height(), size[2]) << size[0];
  }

  ITextStyle& readOut = graphics.GetControl(15)->TextStyle();
  EXPECT_TRUE(readOut.HasFontName("Arial"));
  EXPECT_EQ(readOut.size, 13);
  EXPECT_EQ(readOut.colour.Packed(), 0x64FFFFFFu);
  EXPECT_EQ(readOut.entryBackground.Packed(), 0xFFFFFFFFu);
  EXPECT_EQ(readOut.entryText.Packed(), 0xFF000000u);
  EXPECT_EQ(readOut.style, TextStyleBold);
  EXPECT_EQ(readOut.alignment, TextAlignCentre);
  const ITextStyle& version = graphics.GetControl(34)->TextStyle();
  EXPECT_EQ(version.size, 9);
  EXPECT_EQ(version.colour.Packed(), 0x50FFFFFFu);

  // The switches show the first frame for the first choice, the last for the last.
  AEffect* record = VstRecord(effect);
  for (int i : {1, 2, 3}) {
    const auto& sw = static_cast<const ISwitchControl&>(*graphics.GetControl(i));
    EXPECT_EQ(sw.Frame(), i == 1 ? 2 : 1) << i;  // "Input Trim" starts at 0 dB
    record->setParameter(record, sw.ParameterIndex(), 1.0f);
    EXPECT_EQ(sw.Frame(), i == 1 ? 3 : 2) << i;
    record->setParameter(record, sw.ParameterIndex(), 0.0f);
    EXPECT_EQ(sw.Frame(), 1) << i;
  }
  // Typed 75 in the cut-off read-out is the 70 Hz choice.
  graphics.GetControl(24)->AcceptText("75");
  EXPECT_EQ(effect.GetParameter(Torvane::kLfCut)->Value(), 5.0);

  // Before any audio the meters stand at 0 dB and draw no bar.
  Tick(effect);
  for (int i = 26; i < 34; ++i) {
    EXPECT_EQ(static_cast<IHBiDirMeterControl&>(*graphics.GetControl(i)).BarRect().Width(), 0) << i;
  }
  auto& meter = static_cast<IHBiDirMeterControl&>(*graphics.GetControl(26));
  meter.SetValueFromEffect(1.0);
  Tick(effect);
  EXPECT_EQ(meter.CurrentColour().Packed(), 0x96FF3232u);  // the extreme colour
  EXPECT_EQ(meter.BarRect(), (IBounds{360, 72, 459, 78}));
  meter.SetValueFromEffect(0.5);
  Tick(effect);
  EXPECT_EQ(meter.CurrentColour().Packed(), 0x9632FF32u);  // the centre colour
}

// "-10.0 dB" in the read-outs' 13-pixel bold is 47 pixels wide, their box 40:
// the minus and the ends of the unit lie outside the box.
TEST_F(TorvaneEditor, ReadOutsWiderThanTheirBoxRepaintAsAFullRepaintDoes) {
  VstHosted<Torvane> hosted;
  Torvane& effect = hosted.effect;
  Open(effect);
  ScratchGraphics& graphics = Graphics(effect);
  Tick(effect);
  AEffect* record = hosted.EffectRecord();
  for (float position : {0.0f, 0.5f, 0.0f}) {  // -10 dB, 0 dB, -10 dB
    record->setParameter(record, Torvane::kSubBass, position);
    for (int tick = 0; tick < 3; ++tick) Tick(effect);
    EXPECT_EQ(ChangedByFullRepaint(graphics), 0) << position;
  }
  // An exposure that cuts across the read-out, again and again: its
  // translucent text is blended over the panel once, not once more each time.
  for (int i = 0; i < 3; ++i) graphics.PaintArea({185, 380, 200, 400});
  EXPECT_EQ(ChangedByFullRepaint(graphics), 0);
}

TEST_F(TorvaneEditor, SwitchesAndTheWheelStepFromTheChoiceTheParameterHolds) {
  RecordingHost host;
  VstHosted<Torvane> hosted(RecordingHost::Callback);
  Torvane& effect = hosted.effect;
  Open(effect);
  IGraphics& graphics = Graphics(effect);
  AEffect* record = hosted.EffectRecord();
  // Automated between two steps: Transients at 0.4 is off, Input Trim at 0.74 is 0 dB.
  record->setParameter(record, Torvane::kTransients, 0.4f);
  record->setParameter(record, Torvane::kInputTrim, 0.74f);
  ASSERT_EQ(effect.GetParameter(Torvane::kTransients)->Value(), 0.0);
  ASSERT_EQ(effect.GetParameter(Torvane::kInputTrim)->Value(), 1.0);
  Click(graphics, 110, 365);
  Click(graphics, 110, 340);
  EXPECT_EQ(effect.GetParameter(Torvane::kTransients)->Value(), 1.0);  // on
  EXPECT_EQ(effect.GetParameter(Torvane::kInputTrim)->Value(), 2.0);   // +6 dB

  // A wheel notch over LF Cut is one choice: 30 Hz to 40 Hz.
  host.Clear();
  graphics.HandleWheel(610, 150, {}, 1);
  EXPECT_EQ(effect.GetParameter(Torvane::kLfCut)->Value(), 2.0);
  EXPECT_EQ(host.CountOf(audioMasterAutomate), 1);
  // At 100 Hz a notch up changes nothing, and the host hears nothing.
  record->setParameter(record, Torvane::kLfCut, 1.0f);
  host.Clear();
  graphics.HandleWheel(610, 150, {}, 1);
  EXPECT_EQ(effect.GetParameter(Torvane::kLfCut)->Value(), 8.0);
  EXPECT_EQ(host.CountOf(audioMasterAutomate), 0);
}

}  // namespace torvane
