// Resizing the effect's editor through its corner handle, the settings file
// shared by every instance, and the size kept in the effect's state.
#include <vector>

#include "ScratchEditor.h"
#include "editor/IFaderControl.h"
#include "editor/RasterCache.h"
#include "tests/support/VstHosted.h"

namespace torvane {

namespace {
constexpr int kFader = 4;  // "Process", 240 pixels of travel at (49, 70)
constexpr uint32_t kBackdrop = 0xFF191919;
const IMouseKeys kLeft{true};

uint32_t PanelPixel(int x, int y) { return RowStart(*RasterCache::Instance().Find(100), y)[x]; }

// Press on the corner handle of an editor w x h, drag to (x, y), let go there.
void DragCorner(IGraphics& graphics, int w, int h, int x, int y) {
  graphics.HandleMouseDown(w - 5, h - 5, kLeft);
  graphics.HandleMouseDrag(x, y, kLeft);
  graphics.HandleMouseUp(x, y, kLeft);
}

std::vector<char> ProgramChunk(Torvane& effect) {
  void* data = nullptr;
  AEffect* record = VstRecord(effect);
  const VstIntPtr size = record->dispatcher(record, effGetChunk, 1, 0, &data, 0.0f);
  return std::vector<char>(static_cast<char*>(data), static_cast<char*>(data) + size);
}
}  // namespace

using EditorResize = ScratchEditor;

TEST_F(EditorResize, ConstructionStoresScaleOneAndOpensAtScaleOneWithAHandleOf20) {
  VstHosted<Torvane> effectHosted;
  Torvane& effect = effectHosted.effect;
  EXPECT_EQ(StoredScaleText(), "1.000000000000000");
  Open(effect);
  ScratchGraphics& graphics = Graphics(effect);
  EXPECT_EQ(graphics.Surface()->Width(), 720);
  EXPECT_EQ(Resize(effect).DrawRect(), (IBounds{700, 400, 720, 420}));
  Tick(effect);
  EXPECT_EQ(Pixel(graphics, 5, 5), PanelPixel(5, 5));
  EXPECT_NE(PanelPixel(5, 5), kBackdrop);  // so that the backdrop below is told apart
  graphics.HandleMouseMove(710, 410, {});
  EXPECT_EQ(graphics.cursor, SystemCursor::SizeDiagonal);
}

// While the corner is held the window follows with a plain backdrop; the
// images are rendered for the new scale once, when it is let go.
TEST_F(EditorResize, CornerDragToDoubleSizeScalesEverythingByTwo) {
  VstHosted<Torvane> effectHosted;
  Torvane& effect = effectHosted.effect;
  Open(effect);
  ScratchGraphics& graphics = Graphics(effect);
  IEditorResize& resize = Resize(effect);
  graphics.HandleMouseDown(715, 415, kLeft);
  graphics.HandleMouseDrag(1440, 840, kLeft);
  EXPECT_TRUE(resize.LiveDrag());
  EXPECT_EQ(resize.GuiScale(), 2.0);
  EXPECT_EQ(graphics.Surface()->Width(), 1440);
  EXPECT_EQ(graphics.Surface()->Height(), 840);
  EXPECT_EQ(effectHosted.Adapter().EditorRect().right, 1440);
  EXPECT_EQ(effectHosted.Adapter().EditorRect().bottom, 840);
  EXPECT_EQ(StoredScaleText(), "2.000000000000000");
  Tick(effect);
  EXPECT_EQ(Pixel(graphics, 5, 5), kBackdrop);
  EXPECT_EQ(Pixel(graphics, 1000, 600), kBackdrop);

  graphics.HandleMouseUp(1440, 840, kLeft);
  EXPECT_FALSE(resize.LiveDrag());
  EXPECT_EQ(graphics.cursor, SystemCursor::Arrow);
  EXPECT_EQ(RasterCache::Instance().Find(100)->Width(), 1440);
  const auto& fader = static_cast<const IFaderControl&>(*graphics.GetControl(kFader));
  EXPECT_EQ(fader.DrawRect(), (IBounds{98, 140, 142, 620}));
  EXPECT_EQ(fader.UnscaledRect(), (IBounds{49, 70, 71, 310}));
  EXPECT_EQ(fader.HandleSize(), 80);
  EXPECT_EQ(fader.TravelLength(), 480);
  EXPECT_EQ(resize.DrawRect(), (IBounds{1400, 800, 1440, 840}));
  Tick(effect);
  EXPECT_EQ(Pixel(graphics, 5, 5), PanelPixel(5, 5));
  EXPECT_FALSE(resize.ReopenNeeded());

  // Beyond either end the scale stops at the bounds 1 and 3.
  DragCorner(graphics, 1440, 840, 100, 100);
  EXPECT_EQ(resize.GuiScale(), 1.0);
  DragCorner(graphics, 720, 420, 4000, 3000);
  EXPECT_EQ(resize.GuiScale(), 3.0);
  EXPECT_EQ(graphics.Surface()->Width(), 2160);
  EXPECT_EQ(resize.DrawRect(), (IBounds{2100, 1200, 2160, 1260}));
}

// One instance is built while the stored scale is 2; by its first open
// another has gone back to 1 (and rendered the images for it).
TEST_F(EditorResize, AnInstanceBuiltAtTwoAndOpenedAtOneLaysItsControlsOutForOne) {
  Torvane first;
  Open(first);
  StoreScale("2.0");
  VstHosted<Torvane> second;
  StoreScale("1.0");
  for (int open = 0; open < 2; ++open) {
    Open(second.effect);
    ScratchGraphics& graphics = Graphics(second.effect);
    ASSERT_EQ(graphics.Surface()->Width(), 720);
    const auto& fader = static_cast<const IFaderControl&>(*graphics.GetControl(kFader));
    EXPECT_EQ(fader.HandleSize(), 40);
    EXPECT_EQ(fader.TravelLength(), 240);
    // 1 - (140 - 20 - 70) / 200
    graphics.HandleMouseDown(60, 140, kLeft);
    graphics.HandleMouseUp(60, 140, kLeft);
    EXPECT_EQ(second.EffectRecord()->getParameter(second.EffectRecord(), 0), 0.75f) << open;
  }
}

// A right press on the corner with a pixel of movement is no drag.
TEST_F(EditorResize, RightButtonOnTheCornerResizesNothing) {
  StoreScale("2.0");
  Torvane effect;
  Open(effect);
  ScratchGraphics& graphics = Graphics(effect);
  IMouseKeys right;
  right.right = true;
  graphics.HandleMouseDown(1430, 830, right);
  graphics.HandleMouseDrag(1431, 830, right);
  graphics.HandleMouseUp(1431, 830, {});
  EXPECT_EQ(Resize(effect).GuiScale(), 2.0);
  EXPECT_EQ(graphics.Surface()->Width(), 1440);
  Tick(effect);
  EXPECT_FALSE(Resize(effect).ReopenNeeded());
  EXPECT_EQ(Pixel(graphics, 5, 5), PanelPixel(5, 5));
}

// Press, release, double click, release: Windows' double click. The images
// stay rendered for 2 until the editor is opened again.
TEST_F(EditorResize, DoubleClickAtTwoReturnsToOneAndAsksToBeReopenedUntilItIs) {
  StoreScale("2.0");
  VstHosted<Torvane> effectHosted;
  Torvane& effect = effectHosted.effect;
  Open(effect);
  ScratchGraphics& graphics = Graphics(effect);
  IEditorResize& resize = Resize(effect);
  ASSERT_EQ(graphics.Surface()->Width(), 1440);
  graphics.HandleMouseDown(1430, 830, kLeft);
  graphics.HandleMouseUp(1430, 830, kLeft);
  graphics.HandleDoubleClick(1430, 830, kLeft);
  graphics.HandleMouseUp(1430, 830, kLeft);
  EXPECT_EQ(resize.GuiScale(), 1.0);
  EXPECT_EQ(graphics.Surface()->Width(), 720);
  EXPECT_EQ(effectHosted.Adapter().EditorRect().right, 720);
  EXPECT_EQ(StoredScaleText(), "1.000000000000000");

  for (int tick = 0; tick < 3; ++tick) {
    Tick(effect);
    EXPECT_TRUE(resize.ReopenNeeded());
    EXPECT_EQ(Pixel(graphics, 5, 5), kBackdrop);
  }
  int inked = 0;  // the message's white letters
  for (int y = 0; y < 420; ++y) {
    for (int x = 0; x < 720; ++x) inked += (Pixel(graphics, x, y) & 0xFFFFFF) > 0xC0C0C0;
  }
  EXPECT_GT(inked, 2000);
  for (int y = 0; y < 420; ++y) ASSERT_EQ(Pixel(graphics, 712, y), kBackdrop) << y;  // the text fits the window
  graphics.cursor = SystemCursor::Arrow;
  graphics.HandleMouseMove(710, 410, {});
  EXPECT_EQ(graphics.cursor, SystemCursor::Arrow);  // no handle to drag meanwhile
  graphics.HandleMouseDown(710, 410, kLeft);
  graphics.HandleMouseDrag(1000, 800, kLeft);
  EXPECT_EQ(resize.GuiScale(), 1.0);

  Open(effect);
  EXPECT_FALSE(resize.ReopenNeeded());
  EXPECT_EQ(RasterCache::Instance().Find(100)->Width(), 720);
  Tick(effect);
  EXPECT_EQ(Pixel(graphics, 5, 5), PanelPixel(5, 5));
}

TEST_F(EditorResize, StoredScaleIsClampedAtConstructionAndUsedAsStoredAtOpen) {
  StoreScale("5");
  VstHosted<Torvane> effectHosted;
  Torvane& effect = effectHosted.effect;
  EXPECT_EQ(Resize(effect).GuiScale(), 3.0);
  EXPECT_EQ(effectHosted.Adapter().EditorRect().right, 720);  // no window yet
  Open(effect);
  EXPECT_EQ(Resize(effect).GuiScale(), 5.0);
  EXPECT_EQ(Graphics(effect).Surface()->Width(), 3600);
  EXPECT_EQ(Graphics(effect).Surface()->Height(), 2100);
  EXPECT_EQ(StoredScaleText(), "5");  // opening writes nothing

  // Small scales are kept too; the handle stays at least 10 pixels.
  StoreScale("0.4");
  Open(effect);
  EXPECT_EQ(Graphics(effect).Surface()->Width(), 288);
  EXPECT_EQ(Resize(effect).DrawRect(), (IBounds{278, 158, 288, 168}));
}

// A damaged or hand-edited file must not ask for a window no screen shows or
// memory holds: such a value falls back into the scale range.
TEST_F(EditorResize, AbsurdStoredScalesNeverMakeAnAbsurdWindow) {
  VstHosted<Torvane> effectHosted;
  Torvane& effect = effectHosted.effect;
  for (auto [text, scale] : {std::pair{"1e9", 3.0}, {"12", 3.0}, {"0.001", 1.0}, {"inf", 1.0}, {"-2", 1.0}}) {
    StoreScale(text);
    Open(effect);
    EXPECT_EQ(Resize(effect).GuiScale(), scale) << text;
    EXPECT_EQ(Graphics(effect).Surface()->Width(), static_cast<int>(720 * scale)) << text;
  }
}

// The unscaled size travels in the effect's state, not in the shared file.
TEST_F(EditorResize, SizeDragKeepsTheFileAndTheStateCarriesTheSize) {
  StoreScale("2.0");
  VstHosted<Torvane> firstHosted;
  Torvane& first = firstHosted.effect;
  Open(first);
  Resize(first).DragWidthTo(1600);
  EXPECT_EQ(Resize(first).BaseWidth(), 800.0);
  EXPECT_EQ(Graphics(first).Surface()->Width(), 1600);
  EXPECT_EQ(StoredScaleText(), "2.0");  // not rewritten
  Resize(first).DragHeightTo(5000);     // limited to the view's 1260
  EXPECT_EQ(Graphics(first).Surface()->Height(), 2520);
  const std::vector<char> chunk = ProgramChunk(first);

  VstHosted<Torvane> secondHosted;
  Torvane& second = secondHosted.effect;
  AEffect* record = VstRecord(second);
  ASSERT_EQ(record->dispatcher(record, effSetChunk, 1, static_cast<VstIntPtr>(chunk.size()),
                               const_cast<char*>(chunk.data()), 0.0f),
            1);
  Open(second);
  EXPECT_EQ(Resize(second).GuiScale(), 2.0);
  EXPECT_EQ(Graphics(second).Surface()->Width(), 1600);
  EXPECT_EQ(Graphics(second).Surface()->Height(), 2520);

  // A state from before any resize (-1: nothing stored) leaves the panel's size.
  VstHosted<Torvane> freshHosted, thirdHosted;
  Torvane& fresh = freshHosted.effect;
  Torvane& third = thirdHosted.effect;
  const std::vector<char> unsized = ProgramChunk(fresh);
  record = VstRecord(third);
  record->dispatcher(record, effSetChunk, 1, static_cast<VstIntPtr>(unsized.size()),
                     const_cast<char*>(unsized.data()), 0.0f);
  Open(third);
  EXPECT_EQ(Graphics(third).Surface()->Width(), 1440);
  EXPECT_EQ(Graphics(third).Surface()->Height(), 840);
}

// Configurations this effect does not use: side handles that stay wide enough
// to catch, corner drags that change the size unless Control is held, and
// images rendered at every step of a drag.
TEST_F(EditorResize, SideHandlesSizeDragsAndImmediateRenderingWhenConfigured) {
  VstHosted<Torvane> effectHosted;
  Torvane& effect = effectHosted.effect;
  auto owned = std::make_unique<ScratchGraphics>(effect);
  owned->UseDocumentsFolder(NextDocumentsFolder().c_str());
  ScratchGraphics& graphics = *owned;
  auto resize = std::make_unique<IEditorResize>(effect, graphics);
  resize->SetRescaleBitmaps(true);
  resize->SetDeferBitmapRescale(false);
  resize->SetScaleLimits(1.0, 3.0);
  resize->SetControlKeyProportional(true);
  resize->SetViewLimits(0, 360, 210, 1440, 840);
  resize->SetSideHandles(true, 2, 4, 12);
  graphics.SetImageFactor(3);
  graphics.AttachBackdrop(100, "resources/img/bg.png");
  effect.SetResizeState(resize.release());
  effect.AttachEditor(std::move(owned));
  Open(effect);
  const IControl& bottom = *graphics.GetControl(1);
  const IControl& right = *graphics.GetControl(2);
  EXPECT_EQ(right.TargetRect(), (IBounds{708, 0, 720, 420}));  // 4 thick, caught over 12
  EXPECT_EQ(bottom.TargetRect(), (IBounds{0, 408, 720, 420}));
  EXPECT_FALSE(right.Hidden() || bottom.Hidden());

  graphics.HandleMouseDown(715, 200, kLeft);
  EXPECT_EQ(graphics.cursor, SystemCursor::SizeHorizontal);
  graphics.HandleMouseDrag(1000, 250, kLeft);
  graphics.HandleMouseUp(1000, 250, kLeft);
  EXPECT_EQ(graphics.Surface()->Width(), 1000);
  EXPECT_EQ(graphics.Surface()->Height(), 420);
  EXPECT_EQ(right.TargetRect(), (IBounds{988, 0, 1000, 420}));

  DragCorner(graphics, 1000, 420, 800, 500);  // the size, at scale 1
  EXPECT_EQ(Resize(effect).GuiScale(), 1.0);
  EXPECT_EQ(graphics.Surface()->Width(), 800);
  EXPECT_EQ(graphics.Surface()->Height(), 500);
  EXPECT_EQ(StoredScaleText(), "1.000000000000000");

  const IMouseKeys leftWithControl{true, false, false, true};
  graphics.HandleMouseDown(795, 495, leftWithControl);
  graphics.HandleMouseDrag(1040, 650, leftWithControl);  // (1040 + 650) / (800 + 500)
  EXPECT_EQ(Resize(effect).GuiScale(), 1.3);
  EXPECT_FALSE(Resize(effect).LiveDrag());
  EXPECT_EQ(RasterCache::Instance().Find(100)->Width(), 936);  // rendered at once
  Tick(effect);
  EXPECT_NE(Pixel(graphics, 5, 5), kBackdrop);
}

// Every editor of the process draws the same images: when one renders them
// for its new scale, another open one asks to be reopened; an editor built
// while they are rendered for 2 is still laid out from scale 1.
TEST_F(EditorResize, AnotherEditorsNewScaleAsksThisOneToBeReopened) {
  VstHosted<Torvane> earlyHosted, firstHosted;
  Torvane& early = earlyHosted.effect;
  Torvane& first = firstHosted.effect;
  Open(early);
  Open(first);
  DragCorner(Graphics(first), 720, 420, 1440, 840);
  Tick(first);
  EXPECT_FALSE(Resize(first).ReopenNeeded());
  Tick(early);
  EXPECT_TRUE(Resize(early).ReopenNeeded());
  EXPECT_EQ(Pixel(Graphics(early), 700, 10), kBackdrop);

  VstHosted<Torvane> lateHosted;
  Torvane& late = lateHosted.effect;
  Open(late);
  const auto& fader = static_cast<const IFaderControl&>(*Graphics(late).GetControl(kFader));
  EXPECT_EQ(fader.DrawRect(), (IBounds{98, 140, 142, 620}));
  EXPECT_EQ(fader.HandleSize(), 80);
  Open(early);
  EXPECT_FALSE(Resize(early).ReopenNeeded());
  EXPECT_EQ(Resize(early).GuiScale(), 2.0);
  Tick(early);
  EXPECT_EQ(Pixel(Graphics(early), 5, 5), PanelPixel(5, 5));
}

}  // namespace torvane
