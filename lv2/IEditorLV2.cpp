#include "lv2/IEditorLV2.h"

#include <cmath>
#include <new>

#include "editor/IGraphics.h"
#include "framework/EffectFactory.h"
#include "framework/IEditor.h"
#include "framework/IParameter.h"
#include "framework/IResizeState.h"
#include "core/RecursiveLock.h"
#include "lv2/FindFeature.h"

namespace torvane {

namespace {
// Port events and writes carry plain floats.
constexpr uint32_t kFloatProtocol = 0;
}  // namespace

IEditorLV2::IEditorLV2(std::unique_ptr<IEffectBase> effect, LV2UI_Write_Function write,
                       LV2UI_Controller controller, const LV2UI_Resize* resize, const LV2UI_Touch* touch) noexcept
    : effect_(std::move(effect)),
      layout_(*effect_),
      write_(write),
      controller_(controller),
      resize_(resize),
      touch_(touch) {
  for (int i = 0; i < layout_.Parameters(); ++i) {
    if (!scales_.Add(PortScale(*effect_->GetParameter(i)))) break;
  }
  meterPositions_.ResizeZeroFilled(layout_.Meters());
  for (int k = 0; k < meterPositions_.Count(); ++k) meterPositions_[k] = 0.5;
  for (int r = 0; r < EditorSizeRecords::kCount; ++r) {
    portEditorSize_[r] = static_cast<float>(effect_->EditorSize()[r].Value());
  }
}

IEditorLV2::~IEditorLV2() {
  CloseWindow();
  effect_.reset();
}

std::unique_ptr<IEditorLV2> IEditorLV2::Create(LV2UI_Write_Function write, LV2UI_Controller controller,
                                               LV2UI_Widget* widget, const LV2_Feature* const* features) noexcept {
  void* parent = const_cast<void*>(FindFeature(features, LV2_UI__parent));
  const auto* resize = static_cast<const LV2UI_Resize*>(FindFeature(features, LV2_UI__resize));
  const auto* touch = static_cast<const LV2UI_Touch*>(FindFeature(features, LV2_UI__touch));
  if (!write || !parent || !widget) return nullptr;
  std::unique_ptr<IEffectBase> effect = CreateEffect();
  // Without a display the effect has the headless editor, which opens no window.
  if (!effect || !effect->Editor() || !effect->Editor()->HasWindow()) return nullptr;
  std::unique_ptr<IEditorLV2> ui(new (std::nothrow) IEditorLV2(std::move(effect), write, controller, resize, touch));
  if (!ui || ui->scales_.Count() != ui->layout_.Parameters() || ui->meterPositions_.Count() != ui->layout_.Meters()) {
    return nullptr;
  }
  ui->effect_->ConnectHost(ui.get());
  if (!ui->OpenWindow(parent)) return nullptr;
  auto* graphics = static_cast<IGraphics*>(ui->effect_->Editor());
  *widget = graphics->WindowHandle();
  if (resize) resize->ui_resize(resize->handle, graphics->Width(), graphics->Height());
  return ui;
}

// In the order the VST adapter's window requests take them: the editor's
// window lock, then the plug-in lock.
bool IEditorLV2::OpenWindow(void* parent) noexcept {
  IEditor* editor = effect_->Editor();
  ScopedLockIfAny window(editor->WindowLock());
  ScopedLock lock(effect_->Lock());
  if (!editor->OpenEditorWindow(parent)) return false;
  effect_->OnEditorOpen();
  if (effect_->ResizeState()) effect_->ResizeState()->ApplyStoredSizeOnOpen();
  open_ = true;
  return true;
}

void IEditorLV2::CloseWindow() noexcept {
  if (!open_) return;
  IEditor* editor = effect_->Editor();
  ScopedLockIfAny window(editor->WindowLock());
  ScopedLock lock(effect_->Lock());
  effect_->OnEditorClose();
  editor->CloseEditorWindow();
  open_ = false;
}

void IEditorLV2::Idle() noexcept {
  IEditor* editor = effect_->Editor();
  ScopedLockIfAny window(editor->WindowLock());
  if (editorSizePending_ && effect_->ResizeState()) {
    ScopedLock lock(effect_->Lock());
    editorSizePending_ = false;
    effect_->ResizeState()->ApplyStoredSize();
  }
  editor->Idle();
}

void IEditorLV2::PortEvent(uint32_t port, uint32_t size, uint32_t format, const void* buffer) noexcept {
  if (format != kFloatProtocol || size != sizeof(float) || !buffer) return;
  const float value = *static_cast<const float*>(buffer);
  if (!std::isfinite(value)) return;
  const int parameter = layout_.ParameterOf(port);
  const int meter = layout_.MeterOf(port);
  const int sizeRecord = layout_.EditorSizeOf(port);
  if (sizeRecord >= 0) {
    // The host echoing the editor's own size changes nothing.
    if (value == portEditorSize_[sizeRecord]) return;
    portEditorSize_[sizeRecord] = value;
    ScopedLock lock(effect_->Lock());
    effect_->EditorSize()[sizeRecord].SetClamped(value);
    editorSizePending_ = true;
  } else if (parameter >= 0) {
    // As a host's own change reaches the VST editor: controls first, then the value.
    ScopedLock lock(effect_->Lock());
    const double own = scales_[parameter].ParameterValue(value);
    effect_->Editor()->PushParameterToControls(parameter, own, false);
    effect_->GetParameter(parameter)->SetClamped(own);
    effect_->OnParameterChange(parameter);
  } else if (meter >= 0) {
    meterPositions_[meter] = (value - kMeterFloorDb) / kMeterSpanDb;
    effect_->ShowMeters(meterPositions_.Data(), meterPositions_.Count());
  }
}

void IEditorLV2::BeginParameterEdit(int index) {
  if (touch_ && index >= 0 && index < layout_.Parameters()) touch_->touch(touch_->handle, layout_.Parameter(index), true);
}

void IEditorLV2::NotifyHostOfParameter(int index, double /*position*/) {
  const IParameter* parameter = effect_->GetParameter(index);
  if (!parameter || index >= scales_.Count()) return;
  const float value = static_cast<float>(scales_[index].PortValue(parameter->Value()));
  write_(controller_, layout_.Parameter(index), sizeof value, kFloatProtocol, &value);
}

void IEditorLV2::EndParameterEdit(int index) {
  if (touch_ && index >= 0 && index < layout_.Parameters()) touch_->touch(touch_->handle, layout_.Parameter(index), false);
}

// Called under the plug-in lock once the resize controller has stored the new size.
void IEditorLV2::ResizeEditor(int width, int height) {
  for (int r = 0; r < EditorSizeRecords::kCount; ++r) {
    const float value = static_cast<float>(effect_->EditorSize()[r].Value());
    if (value == portEditorSize_[r]) continue;
    portEditorSize_[r] = value;
    write_(controller_, layout_.EditorSize(r), sizeof value, kFloatProtocol, &value);
  }
  effect_->OnEditorResize(width, height);
}

bool IEditorLV2::RequestHostWindowSize(int width, int height) {
  return resize_ && resize_->ui_resize(resize_->handle, width, height) == 0;
}

}  // namespace torvane
