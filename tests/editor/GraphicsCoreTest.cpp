// The graphics core: control numbering, pointer and key dispatch, values from
// the effect, dirty collection, the paint pass and clipped blits.
#include <gtest/gtest.h>

#include <cmath>
#include <utility>

#include "EditorTestDoubles.h"
#include "editor/IFaderControl.h"

namespace torvane {

namespace {

constexpr int kPatternId = 9101;  // 40 x 40, pixel (x, y) = 0xFF000000 + 256 y + x
constexpr int kHandleId = 9102;   // 22 x 40 fader handle

class GraphicsCore : public ::testing::Test {
 protected:
  void SetUp() override {
    TestImages().clear();
    AddTestImage(kPatternId, 40, 40, [](int x, int y) { return 0xFF000000u + 256u * y + x; });
    AddTestImage(kHandleId, 22, 40, [](int, int) { return 0xFFFFFFFFu; });
    graphics->PrepareSurface();
  }

  RecordingControl* Add(const char* name, const IBounds& rect, int parameter = -1) {
    auto control = std::make_unique<RecordingControl>(&log, name, rect, parameter);
    RecordingControl* raw = control.get();
    graphics->AddControl(std::move(control));
    return raw;
  }

  void CleanAll() {
    for (int i = 0; i < graphics->ControlCount(); ++i) graphics->GetControl(i)->MarkClean();
  }

  EventLog log;
  RecordingEffect effect{&log};
  std::unique_ptr<TestGraphics> owned = std::make_unique<TestGraphics>(effect);
  TestGraphics* graphics = owned.get();
  const IMouseKeys left{true};
  const IMouseKeys right{false, true};
};

}  // namespace

TEST_F(GraphicsCore, IndexReferencesFollowTheBackdropAndMoves) {
  const std::atomic<int>& a = graphics->AddControl(std::make_unique<RecordingControl>(&log, "a", IBounds{0, 0, 5, 5}));
  const std::atomic<int>& b = graphics->AddControl(std::make_unique<RecordingControl>(&log, "b", IBounds{0, 0, 5, 5}));
  graphics->AttachBackdrop(kPatternId, "test/backdrop.png");
  EXPECT_EQ(a.load(), 1);
  EXPECT_EQ(b.load(), 2);
  const IControl* backdrop = graphics->GetControl(0);
  EXPECT_EQ(backdrop->DrawRect(), (IBounds{0, 0, 40, 40}));
  EXPECT_EQ(backdrop->Blend().method, BlendOpaque);
  graphics->MoveControl(2, 0);
  EXPECT_EQ(b.load(), 0);
  EXPECT_EQ(backdrop->Index(), 1);
  EXPECT_EQ(a.load(), 2);
  EXPECT_EQ(graphics->AddControl(nullptr).load(), -1);
}

TEST_F(GraphicsCore, DoubleClickOnAFaderReturnsToTheDefaultWithoutABeginEdit) {
  IImageStrip& handle = graphics->LoadImageStrip(kHandleId, "test/handle.png", 1);
  graphics->AddControl(std::make_unique<IFaderControl>(&effect, 49, 70, 240, 0, handle));
  effect.GetParameter(0)->SetFromPosition(0.25);
  effect.AttachEditor(std::move(owned));  // pushes 0.25, the control's default from now on
  // Windows delivers a double click as press, release, double click, release.
  graphics->HandleMouseDown(60, 190, left);  // the handle jumps
  graphics->HandleMouseUp(60, 190, left);
  EXPECT_FALSE(graphics->HandleDoubleClick(60, 190, left));
  graphics->HandleMouseUp(60, 190, left);  // took no press: no end without a begin
  const EventLog expected = {"begin 0", "automate 0 0.5", "end 0", "automate 0 0.25"};
  EXPECT_EQ(log, expected);
}

TEST_F(GraphicsCore, RightPressOnAParameterInHostOneGoesToTheHostMenuOnly) {
  Add("plain", {0, 0, 10, 10});
  Add("bound", {10, 0, 20, 10}, 2);
  effect.hostId = 1;
  graphics->HandleMouseDown(15, 5, right);
  EXPECT_EQ(graphics->CapturedControl(), -1);
  graphics->HandleMouseDown(5, 5, right);  // no parameter: the control gets the press
  effect.hostId = 0;
  graphics->HandleMouseDown(15, 5, right);
  const EventLog expected = {"menu 2 15 5", "plain down 5 5", "begin 2", "bound down 15 5"};
  EXPECT_EQ(log, expected);
}

TEST_F(GraphicsCore, DragsAtTheLastPositionAndReleasesWithoutAPressAreDropped) {
  Add("under", {0, 0, 50, 50}, 1);
  Add("top", {0, 0, 20, 20});
  graphics->HandleMouseDrag(5, 5, left);  // nothing captured
  graphics->HandleMouseDown(5, 5, left);
  // The last one leaves the control but stays with it.
  for (auto [x, y] : {std::pair{5, 5}, {8, 3}, {8, 3}, {30, 30}}) graphics->HandleMouseDrag(x, y, left);
  graphics->HandleMouseUp(30, 30, left);
  // The press went to the host's window, or only committed an entry box: the
  // control under the pointer hears nothing, and the host no end-edit.
  graphics->HandleMouseUp(30, 30, left);
  const EventLog expected = {"top down 5 5", "top drag 8 3 by 3 -2", "top drag 30 30 by 22 27",
                             "top up 30 30"};
  EXPECT_EQ(log, expected);
}

TEST_F(GraphicsCore, HitSearchSkipsHiddenAndDisabledControlsAndHoverNeedsTracking) {
  graphics->AttachBackdrop(kPatternId, "test/backdrop.png");  // 40 x 40
  RecordingControl* low = Add("low", {0, 0, 50, 50});
  RecordingControl* high = Add("high", {0, 0, 20, 20});
  EXPECT_FALSE(graphics->HandleMouseMove(5, 5, {}));
  graphics->SetHoverTracking(true);
  EXPECT_TRUE(graphics->HandleMouseMove(5, 5, {}));
  EXPECT_TRUE(graphics->HandleMouseMove(30, 30, {}));
  EXPECT_TRUE(graphics->HandleMouseMove(60, 60, {}));  // nothing there: nothing changes
  EXPECT_EQ(graphics->HoveredControl(), 1);
  high->SetDisabled(true);
  graphics->HandleWheel(5, 5, {}, 2);
  high->SetHoverWhileDisabled(true);
  graphics->HandleMouseMove(5, 5, {});
  low->SetHidden(true);
  graphics->HandleMouseDown(40, 40, left);  // hidden or outside: nothing hit
  graphics->HandleMouseLeave();
  // Keys: the background (control 0) takes none; a key catcher takes them.
  EXPECT_FALSE(graphics->HandleKeyDown(30, 30, KeyUp));
  graphics->SetKeyCatcher(std::make_unique<RecordingControl>(&log, "catcher", IBounds{}));
  EXPECT_TRUE(graphics->HandleKeyDown(30, 30, KeyCode(KeyLetterA + 25)));
  const EventLog expected = {"high over 5 5", "low over 30 30", "high out", "low wheel 2", "high over 5 5",
                             "low out",       "low out",        "high out", "catcher key 40"};
  EXPECT_EQ(log, expected);
}

TEST_F(GraphicsCore, PushedValuesReachBoundAndLinkedControlsInNormalisedForm) {
  effect.GetParameter(1)->DefineDouble("shaped", 0.0, -10.0, 10.0, 0.1, "dB", 2.0);
  RecordingControl* bound = Add("bound", {}, 1);
  RecordingControl* linked = Add("linked", {}, 0);
  ASSERT_TRUE(linked->AddLinkedParameter(3));
  ASSERT_TRUE(linked->AddLinkedParameter(1));
  graphics->PushParameterToControls(1, 0.0, false);  // ((0 + 10) / 20) ^ (1 / 2)
  EXPECT_DOUBLE_EQ(bound->Value(), std::sqrt(0.5));
  EXPECT_DOUBLE_EQ(linked->LinkedValue(1), std::sqrt(0.5));
  EXPECT_EQ(linked->LinkedValue(0), 0.0);
  EXPECT_EQ(linked->Value(), 0.0);
  graphics->PushParameterToControls(1, 25.0, false);  // clamped to the maximum
  EXPECT_EQ(bound->Value(), 1.0);
  graphics->SetControlValueFromEffect(1, 0.125);
  graphics->SetControlValueFromEffect(7, 0.5);  // no such control
  EXPECT_EQ(linked->Value(), 0.125);
}

TEST_F(GraphicsCore, DirtyAreaIsTheUnionOfDirtyControlsAtTheControllersScale) {
  RecordingControl* a = Add("a", {10, 20, 30, 40});
  RecordingControl* b = Add("b", {50, 5, 60, 25});
  RecordingControl* empty = Add("empty", {});
  CleanAll();
  IBounds area;
  EXPECT_FALSE(graphics->CollectDirtyArea(area));
  empty->MarkDirty(false);
  EXPECT_TRUE(graphics->CollectDirtyArea(area));  // dirty, though nothing to paint
  EXPECT_TRUE(area.Empty());
  a->MarkDirty(false);
  b->MarkDirty(false);
  graphics->CollectDirtyArea(area);
  EXPECT_EQ(area, (IBounds{10, 5, 60, 40}));

  // With a resize controller the unscaled rectangles count, scaled outward.
  FakeResizeController controller;
  controller.scale = 1.5;
  graphics->SetResizeController(&controller);
  b->SetUnscaledRect({3, 3, 7, 5});
  area = {};
  graphics->CollectDirtyArea(area);  // a (10, 20, 30, 40) and b (3, 3, 7, 5)
  EXPECT_EQ(area, (IBounds{4, 4, 45, 60}));
  a->MarkClean();
  area = {};
  graphics->CollectDirtyArea(area);  // 3 x 1.5 = 4.5, 7 x 1.5 = 10.5
  EXPECT_EQ(area, (IBounds{4, 4, 11, 8}));
}

TEST_F(GraphicsCore, PaintPassPaintsOverlappingControlsAndClipsTheirBlits) {
  RecordingControl* touching = Add("touching", {10, 0, 20, 10});  // on the area's right edge
  Add("beside", {11, 0, 20, 10});
  RecordingControl* hidden = Add("hidden", {0, 0, 10, 10});
  hidden->SetHidden(true);
  graphics->PaintArea({0, 0, 10, 10});
  EXPECT_EQ(log, EventLog{"touching paint"});
  EXPECT_EQ(graphics->presented.at(0), (IBounds{0, 0, 10, 10}));
  EXPECT_FALSE(touching->NeedsRepaint());
  EXPECT_TRUE(hidden->NeedsRepaint());  // its redraw request keeps it one more pass
  graphics->PaintArea({0, 0, 10, 10});
  EXPECT_FALSE(hidden->NeedsRepaint());

  // Blits clip to the area: one that only touches it draws nothing.
  IImageStrip& strip = graphics->LoadImageStrip(kPatternId, "test/pattern.png", 1);
  const IBlendSpec opaque{BlendOpaque, 1.0f};
  graphics->BlitImage(strip, {10, 0, 20, 10}, 0, 0, &opaque);
  EXPECT_EQ(SurfacePixel(*graphics, 10, 5), 0u);
  graphics->PaintArea({8, 0, 12, 20});
  graphics->BlitImage(strip, {5, 5, 15, 15}, 3, 4, &opaque);
  for (int y = 0; y < 20; ++y) {
    for (int x = 0; x < 20; ++x) {
      const bool drawn = x >= 8 && x < 12 && y >= 5 && y < 15;
      ASSERT_EQ(SurfacePixel(*graphics, x, y), drawn ? 0xFF000000u + 256u * (y - 1) + (x - 2) : 0u) << x << ", " << y;
    }
  }
  graphics->FillArea({255, 1, 2, 3}, {30, 30, 32, 31});  // fills are not clipped
  EXPECT_EQ(SurfacePixel(*graphics, 31, 30), 0xFF010203u);

  // While the editor is being dragged to a new size only the backdrop shows.
  log.clear();
  FakeResizeController controller;
  controller.liveDrag = true;
  graphics->SetResizeController(&controller);
  graphics->PaintArea({0, 0, 10, 10});
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(controller.filled.at(0), (IBounds{0, 0, 720, 420}));
  EXPECT_EQ(graphics->presented.back(), (IBounds{0, 0, 720, 420}));
}

}  // namespace torvane
