#include "editor/IGraphics.h"

#include <cctype>
#include <cstring>

#include "editor/IBitmapControl.h"
#include "editor/IResizeController.h"
#include "editor/SharedStoresLock.h"
#include "framework/IEffectBase.h"
#include "framework/IParameter.h"
#include "raster/BlitMode.h"
#include "raster/BlitRegion.h"
#include "raster/FillRegion.h"
#include "raster/SysBitmap.h"

namespace torvane {

namespace {

// The host that offers its own menu for a parameter on a right-button press
// (identified by name as REAPER): the press then goes to that menu instead of
// the control.
constexpr int kHostWithParameterMenu = 1;

// What a control that could not be added is numbered: outside every list.
const std::atomic<int> kNotInList{-1};

int BlitModeFor(int blendMethod) noexcept {
  switch (blendMethod) {
    case BlendOpaque: return BlitCopy;
    case BlendAdd: return BlitAdd | BlitUseSourceAlpha;
    case BlendDodge: return BlitDodge | BlitUseSourceAlpha;
    default: return BlitCopy | BlitUseSourceAlpha;
  }
}

}  // namespace

IGraphics::IGraphics(IEffectBase& effect) noexcept : controls_(256), effect_(effect) {}

IGraphics::~IGraphics() {
  keyCatcher_.reset();
  for (int i = ControlCount() - 1; i >= 0; --i) delete controls_[i];
  controls_.Clear();
  surface_.reset();
}

// --- window operations with a common part -----------------------------------

bool IGraphics::MeasureText(ITextStyle& style, const char* text, IBounds& rect) {
  return RenderText(style, text, rect, true);
}

void IGraphics::ResizeSurface(int width, int height) {
  width_ = width;
  height_ = height;
  surface_.reset();
  PrepareSurface();
  effect_.ResizeEditor(width, height);
}

bool IGraphics::NamesPngImage(const char* resourceName) noexcept {
  const char* dot = resourceName ? std::strrchr(resourceName, '.') : nullptr;
  if (!dot) return false;
  const char* extension = dot + 1;
  static const char kPng[] = "png";
  for (int i = 0; i < 4; ++i) {
    if (std::tolower(static_cast<unsigned char>(extension[i])) != kPng[i]) return false;
  }
  return true;
}

// --- the control list ---------------------------------------------------------

void IGraphics::AttachBackdrop(int resourceId, const char* resourceName) {
  IImageStrip& strip = LoadImageStrip(resourceId, resourceName, 1);
  InsertControl(std::make_unique<IBitmapControl>(&effect_, 0, 0, -1, strip, BlendOpaque), 0);
}

const std::atomic<int>& IGraphics::AddControl(std::unique_ptr<IControl> control) {
  return InsertControl(std::move(control), ControlCount());
}

const std::atomic<int>& IGraphics::InsertControl(std::unique_ptr<IControl> control, int position) {
  if (!control) return kNotInList;
  // The audio and host threads walk the list under the plug-in lock.
  ScopedLock lock(effect_.Lock());
  const int count = ControlCount();
  if (!controls_.Add(control.get())) return kNotInList;
  IControl* added = control.release();
  added->graphics_ = this;
  IControl** list = controls_.Data();
  std::memmove(list + position + 1, list + position, sizeof(IControl*) * (count - position));
  list[position] = added;
  Renumber();
  return added->index_;
}

void IGraphics::MoveControl(int from, int to) {
  const int count = ControlCount();
  if (from < 0 || from >= count || to < 0 || to >= count || from == to) return;
  ScopedLock lock(effect_.Lock());
  IControl** list = controls_.Data();
  IControl* moved = list[from];
  if (from < to) {
    std::memmove(list + from, list + from + 1, sizeof(IControl*) * (to - from));
  } else {
    std::memmove(list + to + 1, list + to, sizeof(IControl*) * (from - to));
  }
  list[to] = moved;
  Renumber();
}

void IGraphics::Renumber() noexcept {
  for (int i = 0; i < ControlCount(); ++i) controls_[i]->index_.store(i, std::memory_order_relaxed);
}

IControl* IGraphics::GetControl(int index) const noexcept {
  return index >= 0 && index < ControlCount() ? controls_[index] : nullptr;
}

// --- values from the effect ---------------------------------------------------

void IGraphics::PushParameterToControls(int parameterIndex, double value, bool isNormalised) {
  if (!isNormalised) {
    const IParameter* parameter = effect_.GetParameter(parameterIndex);
    if (!parameter) return;
    value = parameter->PositionOf(value);
  }
  for (int i = 0; i < ControlCount(); ++i) {
    IControl* control = controls_[i];
    if (control->ParameterIndex() == parameterIndex) control->SetValueFromEffect(value);
    const int k = control->FindLinkedParameter(parameterIndex);
    if (k >= 0) control->SetLinkedValueFromEffect(k, value);
  }
}

void IGraphics::SetControlValueFromEffect(int controlIndex, double value) {
  if (IControl* control = GetControl(controlIndex)) control->SetValueFromEffect(value);
}

void IGraphics::MarkAllControlsDirty() {
  for (int i = 0; i < ControlCount(); ++i) controls_[i]->MarkDirty(false);
}

// --- painting -------------------------------------------------------------------

bool IGraphics::CollectDirtyArea(IBounds& area) {
  bool anyDirty = false;
  IBounds dirty;
  // Text beyond a control's rectangle, in pixels: what was drawn last, to be
  // erased, and what the present state draws.
  IBounds ink;
  for (int i = 0; i < ControlCount(); ++i) {
    IControl* control = controls_[i];
    if (!control->NeedsRepaint()) continue;
    anyDirty = true;
    dirty.Include(resizeController_ ? control->UnscaledRect() : control->DrawRect());
    ink.Include(control->paintedInk_);
    if (!control->Hidden()) ink.Include(control->InkBeyondRect(*this));
  }
  if (resizeController_) {
    // Outward to whole pixels, so that the scaled controls lie inside.
    constexpr double kAlmostOne = 0.9999999;
    const double s = resizeController_->GuiScale();
    dirty = {static_cast<int>(dirty.left * s), static_cast<int>(dirty.top * s),
             static_cast<int>(dirty.right * s + kAlmostOne), static_cast<int>(dirty.bottom * s + kAlmostOne)};
  }
  area.Include(dirty);
  area.Include(ink);
  return anyDirty;
}

IBounds IGraphics::WithWholeTexts(const IBounds& area) const {
  IBounds grown = area;
  // Taking in one text can make the area touch another; the list is short.
  for (bool changed = true; changed;) {
    changed = false;
    for (int i = 0; i < inks_.Count(); ++i) {
      if (!grown.Overlaps(inks_[i])) continue;
      IBounds with = grown;
      with.Include(inks_[i]);
      if (with == grown) continue;
      grown = with;
      changed = true;
    }
  }
  return grown;
}

bool IGraphics::PaintArea(const IBounds& requested) {
  if (resizeController_ && resizeController_->LiveDrag()) {
    const IBounds whole{0, 0, width_, height_};
    resizeController_->FillBackground(*this, whole);
    return PresentArea(whole);
  }
  const int count = ControlCount();
  if (count == 0) return true;
  // What each control's text draws beyond its rectangle, measured once for
  // the pass (without memory for the list, the texts are taken as they come).
  if (!inks_.ResizeZeroFilled(count)) inks_.Clear();
  for (int i = 0; i < inks_.Count(); ++i) {
    inks_[i] = controls_[i]->Hidden() ? IBounds{} : controls_[i]->InkBeyondRect(*this);
  }
  const IBounds area = WithWholeTexts(requested);
  paintArea_ = area;
  for (int i = 0; i < count; ++i) {
    IControl* control = controls_[i];
    const IBounds ink = i < inks_.Count() ? inks_[i] : IBounds{};
    if (control->Hidden()) {
      // Its last ink was collected with it when it was hidden.
      control->paintedInk_ = {};
    } else if (area.Overlaps(control->DrawRect()) || area.Overlaps(ink)) {
      control->Paint(*this);
      control->paintedInk_ = ink;
    }
    control->MarkClean();
  }
  return PresentArea(area);
}

void IGraphics::PrepareSurface() { surface_ = MakeSurface(width_, height_); }

std::unique_ptr<IRasterBitmap> IGraphics::MakeSurface(int width, int height) {
  return std::make_unique<SysBitmap>(width, height);
}

bool IGraphics::BlitImage(const IImageStrip& strip, const IBounds& dest, int sourceX, int sourceY,
                          const IBlendSpec* blend) {
  ScopedLock stores(SharedStoresLock::Instance());
  const IBounds clipped = dest.Intersection(paintArea_);
  if (!surface_ || !strip.raster || clipped.Width() <= 0 || clipped.Height() <= 0) return true;
  const RasterRect source{sourceX + clipped.left - dest.left, sourceY + clipped.top - dest.top,
                          sourceX + clipped.right - dest.left, sourceY + clipped.bottom - dest.top};
  const IBlendSpec spec = blend ? *blend : IBlendSpec{};
  BlitRegion(surface_.get(), strip.raster, clipped.left, clipped.top, &source, spec.weight, BlitModeFor(spec.method));
  return true;
}

bool IGraphics::BlitFrame(const IImageStrip& strip, const IBounds& dest, int frame, const IBlendSpec* blend) {
  ScopedLock stores(SharedStoresLock::Instance());
  int offset = 0;
  if (strip.frameCount >= 2 && frame >= 2) {
    const int extent = strip.sideBySide ? strip.width : strip.height;
    offset = static_cast<int>(static_cast<double>(extent) * (frame - 1) / strip.frameCount + 0.5);
  }
  return strip.sideBySide ? BlitImage(strip, dest, offset, 0, blend) : BlitImage(strip, dest, 0, offset, blend);
}

bool IGraphics::BlitStripAt(const IImageStrip& strip, int x, int y, const IBlendSpec* blend) {
  ScopedLock stores(SharedStoresLock::Instance());
  return BlitImage(strip, {x, y, x + strip.width, y + strip.height}, 0, 0, blend);
}

bool IGraphics::FillArea(const IArgb& colour, const IBounds& rect) {
  if (surface_) {
    FillRegion(surface_.get(), rect.left, rect.top, rect.Width(), rect.Height(), colour.Packed(), 1.0f,
               BlitCopy | BlitUseSourceAlpha);
  }
  return true;
}

// --- pointer and keys -----------------------------------------------------------

void IGraphics::CancelCapture() noexcept {
  captured_ = -1;
  lastX_ = lastY_ = -1;
}

int IGraphics::FindControlAt(int x, int y, bool forHover) const {
  for (int i = ControlCount() - 1; i >= 0; --i) {
    IControl* control = controls_[i];
    if (control->Hidden()) continue;
    if (control->Disabled() && !(forHover && control->HoverWhileDisabled())) continue;
    if (control->HitTest(x, y)) return i;
  }
  return -1;
}

int IGraphics::EventTarget(int x, int y) const {
  return GetControl(captured_) ? captured_ : FindControlAt(x, y, false);
}

void IGraphics::HandleMouseDown(int x, int y, const IMouseKeys& keys) {
  CancelCapture();
  const int hit = FindControlAt(x, y, false);
  if (hit < 0) return;
  captured_ = hit;
  lastX_ = x;
  lastY_ = y;
  IControl* control = controls_[hit];
  const int parameter = control->ParameterIndex();
  // The host is told without the plug-in lock held: a host may take a lock of
  // its own in these calls while its audio thread waits for ours.
  if (keys.right && effect_.IdentifyHost() == kHostWithParameterMenu) {
    if (parameter >= 0) {
      CancelCapture();
      effect_.OnParameterContextMenu(parameter, x, y);
      return;
    }
  } else if (parameter >= 0) {
    effect_.BeginParameterEdit(parameter);
  }
  control->MouseDown(x, y, keys);
}

void IGraphics::HandleMouseUp(int x, int y, const IMouseKeys& keys) {
  IControl* control = GetControl(captured_);
  CancelCapture();
  if (!control) return;
  control->MouseUp(x, y, keys);
  if (control->ParameterIndex() >= 0) effect_.EndParameterEdit(control->ParameterIndex());
}

void IGraphics::AbandonGesture() {
  const IControl* captured = GetControl(captured_);
  CancelCapture();
  if (captured && captured->ParameterIndex() >= 0) effect_.EndParameterEdit(captured->ParameterIndex());
}

bool IGraphics::HandleDoubleClick(int x, int y, const IMouseKeys& keys) {
  CancelCapture();
  const int hit = FindControlAt(x, y, false);
  if (hit < 0) return false;
  IControl* control = controls_[hit];
  if (!control->DoubleClickActsAsPress()) {
    control->DoubleClick(x, y, keys);
    return false;
  }
  captured_ = hit;
  lastX_ = x;
  lastY_ = y;
  control->MouseDown(x, y, keys);
  return true;
}

void IGraphics::HandleMouseDrag(int x, int y, const IMouseKeys& keys) {
  IControl* control = GetControl(captured_);
  if (!control || (x == lastX_ && y == lastY_)) return;
  const int dx = x - lastX_;
  const int dy = y - lastY_;
  lastX_ = x;
  lastY_ = y;
  control->MouseDrag(x, y, dx, dy, keys);
}

bool IGraphics::HandleMouseMove(int x, int y, const IMouseKeys& keys) {
  if (!hoverTracking_) return false;
  const int target = GetControl(captured_) ? captured_ : FindControlAt(x, y, true);
  if (target < 0) return true;
  lastX_ = x;
  lastY_ = y;
  controls_[target]->MouseOver(x, y, keys);
  if (hovered_ != target) {
    if (IControl* previous = GetControl(hovered_)) previous->MouseOut();
  }
  hovered_ = target;
  return true;
}

void IGraphics::HandleMouseLeave() {
  for (int i = 0; i < ControlCount(); ++i) controls_[i]->MouseOut();
  hovered_ = -1;
}

void IGraphics::HandleWheel(int x, int y, const IMouseKeys& keys, int notches) {
  const int target = EventTarget(x, y);
  if (target >= 0) controls_[target]->Wheel(x, y, keys, notches);
}

bool IGraphics::HandleKeyDown(int x, int y, KeyCode key) {
  const int target = EventTarget(x, y);
  // The background (control 0) takes no keys of its own.
  if (target <= 0) return keyCatcher_ ? keyCatcher_->KeyPress(x, y, key) : false;
  return controls_[target]->KeyPress(x, y, key);
}

}  // namespace torvane
