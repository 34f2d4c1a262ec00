#include "editor/resize/IEditorResize.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <memory>

#include "editor/IGraphics.h"
#include "editor/resize/SideResizeHandle.h"
#include "framework/IEffectBase.h"
#include "raster/BlitMode.h"
#include "raster/DrawLine.h"
#include "raster/FillRegion.h"

namespace torvane {

namespace {

// Scales closer than this are the same scale.
constexpr double kSameScale = 1e-10;
// A view's unscaled size is not limited until the effect says otherwise.
constexpr double kUnlimitedBase = 999999999999.0;
// The dark grey of the plain backdrop shown while dragging, and behind the reopen message.
constexpr uint32_t kBackdropColour = 0xFF191919;
constexpr uint32_t kWhite = 0xFFFFFFFF;
// The reopen message's text height on an editor as wide as when it was built.
constexpr double kMessageSize = 77.0;
// The share of the window's width the message's longer line may take.
constexpr double kMessageFill = 0.95;
constexpr char kMessageFirstLine[] = "  Reopen plugin interface";
constexpr char kMessageSecondLine[] = "  to get new size...";

// The scale the process's images are rendered for; 0 until an editor has
// rendered them. Shared by every controller of the process, as the images are.
std::atomic<double> renderedScale{0.0};

int Round(double v) noexcept { return static_cast<int>(v >= 0.0 ? v + 0.5 : v - 0.5); }
int Trunc(double v) noexcept { return static_cast<int>(v); }

IBounds Rounded(const UnscaledRect& r) noexcept {
  return {Round(r.left), Round(r.top), Round(r.right), Round(r.bottom)};
}

IBounds Scaled(const UnscaledRect& r, double scale) noexcept {
  return {Trunc(scale * r.left), Trunc(scale * r.top), Trunc(scale * r.right), Trunc(scale * r.bottom)};
}

UnscaledRect Unscaled(const IBounds& r) noexcept {
  return {static_cast<double>(r.left), static_cast<double>(r.top), static_cast<double>(r.right),
          static_cast<double>(r.bottom)};
}

// The rectangle moved to (c, d) with its size kept, rounded to pixels.
IBounds MovedTo(const IBounds& r, double c, double d) noexcept {
  return {Round(c), Round(d), Round(c + r.Width()), Round(d + r.Height())};
}

UnscaledRect MovedTo(const UnscaledRect& r, double x, double y) noexcept {
  return {x, y, x + (r.right - r.left), y + (r.bottom - r.top)};
}

}  // namespace

IEditorResize::IEditorResize(IEffectBase& effect, IGraphics& graphics) noexcept
    : IControl(&effect,
               {graphics.Width() - kHandleSize, graphics.Height() - kHandleSize, graphics.Width(), graphics.Height()},
               -1, {BlendAlpha, 1.0f}),
      graphics_(graphics),
      settings_(OpenSettings(effect, graphics)),
      baseWidth_(graphics.Width()),
      baseHeight_(graphics.Height()),
      constructionWidth_(graphics.Width()),
      windowWidth_(graphics.Width()),
      windowHeight_(graphics.Height()) {
  views_.Add({0, graphics.Width(), graphics.Height(), 0.0, 0.0, kUnlimitedBase, kUnlimitedBase});
  guiScale_ = settings_.ReadOrStoreDefaultScale();
  messageStyle_.SetFontName("Arial");
  messageStyle_.colour = {255, 255, 255, 255};
  messageStyle_.alignment = TextAlignLeft;
  graphics.SetHoverTracking(true);
}

SettingsFile IEditorResize::OpenSettings(IEffectBase& effect, IGraphics& graphics) noexcept {
  GrowableText documents;
  graphics.DocumentsFolder(documents);
  return SettingsFile(documents.Get(), effect.MakerName(), effect.EffectName());
}

// --- configuration -------------------------------------------------------------

void IEditorResize::SelectDefaultView() noexcept {
  viewIndex_ = 0;
  for (int i = 0; i < views_.Count(); ++i) {
    if (views_[i].id == 0) {
      viewIndex_ = i;
      break;
    }
  }
  baseWidth_ = CurrentView().width;
  baseHeight_ = CurrentView().height;
}

void IEditorResize::SetScaleLimits(double minScale, double maxScale) noexcept {
  minScale_ = minScale;
  maxScale_ = maxScale;
  guiScale_ = std::clamp(guiScale_, minScale_, maxScale_);
}

void IEditorResize::SetViewLimits(int view, double minWidth, double minHeight, double maxWidth,
                                  double maxHeight) noexcept {
  if (view < 0 || view >= views_.Count()) return;
  EditorView& limits = views_[view];
  limits.minBaseWidth = minWidth;
  limits.minBaseHeight = minHeight;
  limits.maxBaseWidth = maxWidth;
  limits.maxBaseHeight = maxHeight;
  if (view == viewIndex_) ClampBaseSize();
}

void IEditorResize::SetSideHandles(bool enabled, int choice, int thickness, int minThickness) noexcept {
  sideHandlesEnabled_ = enabled;
  sideHandleChoice_ = choice;
  sideHandleThickness_ = thickness;
  sideHandleMinThickness_ = minThickness;
}

void IEditorResize::ClampBaseSize() noexcept {
  const EditorView& view = CurrentView();
  baseWidth_ = std::clamp(baseWidth_, view.minBaseWidth, view.maxBaseWidth);
  baseHeight_ = std::clamp(baseHeight_, view.minBaseHeight, view.maxBaseHeight);
}

// --- attach and open -------------------------------------------------------------

void IEditorResize::AttachToEditor() {
  auto height = std::make_unique<VerticalResizing>(*this, graphics_, sideHandleThickness_);
  auto width = std::make_unique<HorisontalResizing>(*this, graphics_, sideHandleThickness_);
  heightHandle_ = height.get();
  widthHandle_ = width.get();
  // A control the list cannot take is destroyed.
  if (graphics_.AddControl(std::move(height)).load() < 0) heightHandle_ = nullptr;
  if (graphics_.AddControl(std::move(width)).load() < 0) widthHandle_ = nullptr;
  const bool hideWidth = !sideHandlesEnabled_ || sideHandleChoice_ == 1;
  const bool hideHeight = !sideHandlesEnabled_ || sideHandleChoice_ == 0;
  if (heightHandle_ && hideHeight) HideInView(*heightHandle_);
  if (widthHandle_ && hideWidth) HideInView(*widthHandle_);

  // Every control is built at scale 1, so its rectangles now are the layout.
  auto captured = std::make_unique<ViewLayout>();
  for (int i = 0; i < graphics_.ControlCount(); ++i) {
    IControl* control = graphics_.GetControl(i);
    captured->Add({control, Unscaled(control->DrawRect()), Unscaled(control->TargetRect()), control->Hidden()});
  }
  captured->Add({this, Unscaled(DrawRect()), Unscaled(TargetRect()), false});
  ViewLayout* first = layouts_.Add(captured.release());
  for (int v = 1; first && v < views_.Count(); ++v) {
    auto copy = std::make_unique<ViewLayout>();
    copy->CopyFrom(*first);
    layouts_.Add(copy.release());
  }

  NotifyControlsOfScale();
  // The editor owns its controls; this one is the last of them.
  IGraphics& graphics = graphics_;
  if (graphics.AddControl(std::unique_ptr<IControl>(this)).load() >= 0) graphics.SetResizeController(this);
}

void IEditorResize::ApplyStoredSizeOnOpen() {
  if (layouts_.Count() < views_.Count()) return;
  const int oldWidth = windowWidth_;
  const int oldHeight = windowHeight_;
  if (!storedSizeApplied_) {
    // The state is written on the host's threads under the plug-in lock.
    ScopedLock lock(Effect()->Lock());
    EditorSizeRecords& stored = Effect()->EditorSize();
    const double view = stored.View().Value();
    if (view > -0.5) viewIndex_ = std::min(Trunc(view), views_.Count() - 1);
    // A size from a damaged or foreign state is brought into the view's range.
    const EditorView& limits = CurrentView();
    const double width = stored.Width().Value();
    const double height = stored.Height().Value();
    if (width > -0.5) baseWidth_ = std::clamp(width, std::max(1.0, limits.minBaseWidth), limits.maxBaseWidth);
    if (height > -0.5) baseHeight_ = std::clamp(height, std::max(1.0, limits.minBaseHeight), limits.maxBaseHeight);
    storedSizeApplied_ = true;
  }
  guiScale_ = OpenScale(settings_.ReadStoredScale());
  graphics_.SetScale(guiScale_);
  UpdateWindowSize();
  ChangeLayout();
  // A drag the window lost the button of ends here.
  liveDrag_ = false;
  const bool sizeChanged = windowWidth_ != oldWidth || windowHeight_ != oldHeight;
  if (sizeChanged || reopenNeeded_ || (rescaleBitmaps_ && !ImagesMatch(guiScale_))) {
    if (rescaleBitmaps_) RenderImages(guiScale_);
    reopenNeeded_ = false;
  }
  // Every open: the controls may have learnt another scale since their
  // rectangles were laid out (at attach, from the scale stored then). They
  // learn it before the window takes its size: a window layer may paint
  // while it resizes.
  NotifyControlsOfScale();
  if (graphics_.Width() != windowWidth_ || graphics_.Height() != windowHeight_) {
    graphics_.ResizeSurface(windowWidth_, windowHeight_);
  }
}

void IEditorResize::ApplyStoredSize() {
  storedSizeApplied_ = false;
  ApplyStoredSizeOnOpen();
}

double IEditorResize::OpenScale(double stored) const noexcept {
  if (stored == SettingsFile::kNotSet) return guiScale_;
  if (WindowFits(stored)) return stored;
  const double limited = std::clamp(stored, minScale_, maxScale_);
  if (WindowFits(limited)) return limited;
  return kMaxWindowSide / std::max(baseWidth_, baseHeight_);
}

bool IEditorResize::WindowFits(double scale) const noexcept {
  return scale * std::min(baseWidth_, baseHeight_) >= 1.0 && scale * std::max(baseWidth_, baseHeight_) <= kMaxWindowSide;
}

void IEditorResize::UpdateWindowSize() noexcept {
  windowWidth_ = Trunc(guiScale_ * baseWidth_);
  windowHeight_ = Trunc(guiScale_ * baseHeight_);
}

// --- resizing ------------------------------------------------------------------

void IEditorResize::ApplyResize() {
  if (layouts_.Count() < views_.Count()) return;
  const double stored = settings_.ReadStoredScale();
  const bool scaleChanged = stored == SettingsFile::kNotSet || std::fabs(stored - guiScale_) >= kSameScale;
  // A change of size alone leaves the file to the other instances.
  if (scaleChanged) settings_.WriteStoredScale(guiScale_);
  graphics_.SetScale(guiScale_);
  {
    // The plug-in writes these into its state on the host's threads.
    ScopedLock lock(Effect()->Lock());
    EditorSizeRecords& sizes = Effect()->EditorSize();
    sizes.View().SetClamped(viewIndex_);
    sizes.Width().SetClamped(baseWidth_);
    sizes.Height().SetClamped(baseHeight_);
  }
  UpdateWindowSize();
  ChangeLayout();
  if (rescaleBitmaps_ && !deferBitmapRescale_) RenderImages(guiScale_);
  // While the corner is dragged the controls wait for the images, which wait
  // for the button to be let go. Otherwise they learn the scale before the
  // window takes its size: a window layer may paint while it resizes.
  if (!(rescaleBitmaps_ && deferBitmapRescale_ && liveDrag_)) NotifyControlsOfScale();
  graphics_.ResizeSurface(windowWidth_, windowHeight_);
  graphics_.MarkAllControlsDirty();
}

void IEditorResize::ChangeLayout() noexcept {
  ReorderControls();
  PlaceHandles();
  FitBackground();
  ApplyViewLayout();
  Effect()->OnEditorLayoutChange(viewIndex_, baseWidth_, baseHeight_);
}

void IEditorResize::RenderImages(double scale) {
  if (ImagesMatch(scale)) return;
  graphics_.RescaleImages(scale);
  renderedScale.store(scale);
}

bool IEditorResize::ImagesMatch(double scale) const noexcept {
  return std::fabs(renderedScale.load() - scale) < kSameScale;
}

void IEditorResize::PlaceHandles() {
  const double right = windowWidth_ / guiScale_;
  const double bottom = windowHeight_ / guiScale_;
  if (sideHandlesEnabled_ && widthHandle_ && heightHandle_) {
    MoveControl(*widthHandle_, right - sideHandleThickness_, 0.0);
    SetControlEdge(*widthHandle_, &IBounds::bottom, &UnscaledRect::bottom, bottom);
    MoveControl(*heightHandle_, 0.0, bottom - sideHandleThickness_);
    SetControlEdge(*heightHandle_, &IBounds::right, &UnscaledRect::right, right);
  }
  MoveControl(*this, right - kHandleSize, bottom - kHandleSize);
}

void IEditorResize::FitBackground() {
  IControl* background = graphics_.GetControl(0);
  if (!background || background == this) return;
  background->SetUnscaledRect({0, 0, Round(baseWidth_), Round(baseHeight_)});
  const IBounds window{0, 0, Trunc(baseWidth_ * guiScale_), Trunc(baseHeight_ * guiScale_)};
  background->SetDrawRect(window);
  background->SetTargetRect(window);
}

void IEditorResize::ApplyViewLayout() {
  const ViewLayout& layout = *CurrentLayout();
  for (int i = 1; i < graphics_.ControlCount(); ++i) {
    IControl* control = graphics_.GetControl(i);
    const int k = layout.Find(control);
    if (k < 0) continue;
    control->SetUnscaledRect(Rounded(layout[k].drawRect));
    control->SetDrawRect(Scaled(layout[k].drawRect, guiScale_));
    control->SetTargetRect(Scaled(layout[k].targetRect, guiScale_));
    control->SetHidden(layout[k].hidden);
  }
  if (sideHandlesEnabled_ && widthHandle_ && heightHandle_) {
    // Thin handles stay wide enough to be caught.
    const IBounds& right = widthHandle_->TargetRect();
    if (right.Width() < sideHandleMinThickness_) {
      const IBounds wider{right.right - sideHandleMinThickness_, right.top, right.right, right.bottom};
      widthHandle_->SetDrawRect(wider);
      widthHandle_->SetTargetRect(wider);
    }
    const IBounds& bottom = heightHandle_->TargetRect();
    if (bottom.Height() < sideHandleMinThickness_) {
      const IBounds taller{bottom.left, bottom.bottom - sideHandleMinThickness_, bottom.right, bottom.bottom};
      heightHandle_->SetDrawRect(taller);
      heightHandle_->SetTargetRect(taller);
    }
  }
  // The corner handle stays a square in the corner, and never too small to catch.
  const IBounds& r = DrawRect();
  const int side = std::min(r.Width(), r.Height());
  if (r.Width() != r.Height()) SetOwnRects({r.right - side, r.bottom - side, r.right, r.bottom});
  if (side < kMinHandleSize) {
    const IBounds& square = DrawRect();
    SetOwnRects({square.right - kMinHandleSize, square.bottom - kMinHandleSize, square.right, square.bottom});
  }
}

void IEditorResize::ReorderControls() {
  const ViewLayout& layout = *CurrentLayout();
  const ViewLayout& first = *layouts_.Get(0);
  const int count = graphics_.ControlCount();
  for (int i = 1; i < count && i < layout.Count(); ++i) {
    IControl* control = layout.DrawingOrder(i);
    const int b = first.Find(control);
    // The three resize controls stay last.
    if (b >= 1 && b < count - 3 && control->Index() != b) graphics_.MoveControl(control->Index(), b);
  }
}

void IEditorResize::NotifyControlsOfScale() {
  for (int i = 0; i < graphics_.ControlCount(); ++i) graphics_.GetControl(i)->Rescale(guiScale_);
  graphics_.MarkAllControlsDirty();
}

void IEditorResize::MoveControl(IControl& control, double x, double y) {
  const double c = guiScale_ * x;
  const double d = guiScale_ * y;
  control.SetDrawRect(MovedTo(control.DrawRect(), c, d));
  control.SetTargetRect(MovedTo(control.TargetRect(), c, d));
  ViewLayout& layout = *CurrentLayout();
  const int k = layout.Find(&control);
  if (k < 0) return;
  layout[k].drawRect = MovedTo(layout[k].drawRect, x, y);
  layout[k].targetRect = MovedTo(layout[k].targetRect, x, y);
  control.SetUnscaledRect(Rounded(layout[k].drawRect));
}

void IEditorResize::SetControlEdge(IControl& control, int IBounds::*edge, double UnscaledRect::*unscaledEdge,
                                   double position) {
  const int scaled = Round(position * guiScale_);
  IBounds draw = control.DrawRect();
  IBounds target = control.TargetRect();
  draw.*edge = target.*edge = scaled;
  control.SetDrawRect(draw);
  control.SetTargetRect(target);
  ViewLayout& layout = *CurrentLayout();
  const int k = layout.Find(&control);
  if (k < 0) return;
  layout[k].drawRect.*unscaledEdge = layout[k].targetRect.*unscaledEdge = position;
  control.SetUnscaledRect(Rounded(layout[k].drawRect));
}

void IEditorResize::HideInView(IControl& control) {
  if (ViewLayout* layout = CurrentLayout()) {
    const int k = layout->Find(&control);
    if (k >= 0) (*layout)[k].hidden = true;
  }
  control.SetHidden(true);
}

void IEditorResize::SetOwnRects(const IBounds& rect) noexcept {
  SetDrawRect(rect);
  SetTargetRect(rect);
}

void IEditorResize::CoverWindow() noexcept {
  SetOwnRects({0, 0, windowWidth_, windowHeight_});
  // The dirty area is gathered from unscaled rectangles: this one must give the whole window back.
  SetUnscaledRect({0, 0, static_cast<int>(std::ceil(windowWidth_ / guiScale_)),
                   static_cast<int>(std::ceil(windowHeight_ / guiScale_))});
}

// --- the corner handle -------------------------------------------------------------

void IEditorResize::MouseDown(int /*x*/, int /*y*/, const IMouseKeys& keys) {
  if (!reopenNeeded_) graphics_.SetCursorShape(SystemCursor::SizeDiagonal);
  // The images wait for the button to be let go; the window shows the plain
  // backdrop meanwhile.
  if (keys.left && rescaleBitmaps_ && deferBitmapRescale_ && proportionalDrag_ && !reopenNeeded_) liveDrag_ = true;
  if (keys.right) OnRightClick();
}

void IEditorResize::MouseDrag(int x, int y, int /*dx*/, int /*dy*/, const IMouseKeys& keys) {
  // Only the left button drags the corner; the right one's release would not
  // finish the drag.
  if (reopenNeeded_ || !keys.left) return;
  graphics_.SetCursorShape(SystemCursor::SizeDiagonal);
  const bool controlHeld = controlKeyProportional_ && keys.control;
  if (proportionalDrag_ || controlHeld) {
    const double s = ((x + y) * 0.5) / ((baseWidth_ + baseHeight_) * 0.5);
    guiScale_ = std::clamp(s, minScale_, maxScale_);
  } else {
    const EditorView& view = CurrentView();
    baseWidth_ = std::clamp(x / guiScale_, view.minBaseWidth, view.maxBaseWidth);
    baseHeight_ = std::clamp(y / guiScale_, view.minBaseHeight, view.maxBaseHeight);
  }
  // The handle goes to the new corner; the drag stays with it as long as the
  // button is held, wherever the pointer goes.
  ApplyResize();
}

void IEditorResize::MouseUp(int /*x*/, int /*y*/, const IMouseKeys& /*keys*/) {
  graphics_.SetCursorShape(SystemCursor::Arrow);
  if (!rescaleBitmaps_ || !deferBitmapRescale_ || reopenNeeded_) return;
  RenderImages(guiScale_);
  ApplyViewLayout();
  liveDrag_ = false;
  NotifyControlsOfScale();
}

void IEditorResize::DoubleClick(int /*x*/, int /*y*/, const IMouseKeys& /*keys*/) {
  guiScale_ = 1.0;
  ApplyResize();
}

void IEditorResize::MouseOver(int /*x*/, int /*y*/, const IMouseKeys& /*keys*/) {
  if (!reopenNeeded_) graphics_.SetCursorShape(SystemCursor::SizeDiagonal);
}

void IEditorResize::MouseOut() { graphics_.SetCursorShape(SystemCursor::Arrow); }

void IEditorResize::DragWidthTo(int x) {
  const EditorView& view = CurrentView();
  baseWidth_ = std::clamp(x / guiScale_, view.minBaseWidth, view.maxBaseWidth);
  ApplyResize();
}

void IEditorResize::DragHeightTo(int y) {
  const EditorView& view = CurrentView();
  baseHeight_ = std::clamp(y / guiScale_, view.minBaseHeight, view.maxBaseHeight);
  ApplyResize();
}

bool IEditorResize::NeedsRepaint() noexcept {
  // Another editor of the process rendered the images for its own scale, or
  // a double click changed the scale without rendering them.
  if (rescaleBitmaps_ && !reopenNeeded_ && !liveDrag_ && !ImagesMatch(guiScale_)) {
    reopenNeeded_ = true;
    CoverWindow();
    MarkDirty(false);
  }
  return IControl::NeedsRepaint();
}

// --- drawing -----------------------------------------------------------------------

bool IEditorResize::Paint(IGraphics& graphics) {
  if (reopenNeeded_) {
    CoverWindow();
    DrawReopenMessage(graphics);
  } else {
    DrawHandle(graphics);
  }
  return true;
}

void IEditorResize::FillBackground(IGraphics& graphics, const IBounds& area) {
  FillRegion(graphics.Surface(), area.left, area.top, area.Width(), area.Height(), kBackdropColour, 1.0f,
             BlitUseSourceAlpha);
}

void IEditorResize::DrawHandle(IGraphics& graphics) {
  const IBounds& r = DrawRect();
  const int w = r.Width();
  // Diagonals from the bottom edge to the right edge, each more opaque than
  // the last; the longest is fully transparent.
  for (int i = 0; i < w; ++i) {
    const double f = (w - i) * (1.0 / w);
    const double alpha = 1.0 - f * f * f;
    DrawLine(graphics.Surface(), r.left + i, r.bottom, r.right, r.bottom - w + i, kWhite, static_cast<float>(alpha),
             BlitCopy);
  }
}

void IEditorResize::SetMessageSize(int size) noexcept {
  if (messageStyle_.size == size) return;
  messageStyle_.size = size;
  messageStyle_.cachedFont = nullptr;
}

void IEditorResize::DrawReopenMessage(IGraphics& graphics) {
  FillBackground(graphics, DrawRect());
  const IBounds& r = DrawRect();
  int size = Trunc(graphics.Width() * kMessageSize / constructionWidth_);
  SetMessageSize(size);
  // At that size the longer line is wider than the window at any scale: the
  // text shrinks until it fits (its width follows its size).
  IBounds extent = r;
  if (graphics.MeasureText(messageStyle_, kMessageFirstLine, extent) && extent.Width() > r.Width()) {
    size = Trunc(size * kMessageFill * r.Width() / extent.Width());
    SetMessageSize(size);
  }
  const int half = graphics.Height() / 2;
  const int gap = half - size;
  IBounds first{0, std::max(gap, 0), r.right, r.bottom};
  IBounds second{0, half + std::max(-gap, 0), r.right, r.bottom};
  graphics.RenderText(messageStyle_, kMessageFirstLine, first, false);
  graphics.RenderText(messageStyle_, kMessageSecondLine, second, false);
}

}  // namespace torvane
