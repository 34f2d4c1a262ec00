#include "editor/IControl.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "framework/IEffectBase.h"

namespace torvane {

IControl::IControl(IEffectBase* effect, const IBounds& rect, int parameterIndex, IBlendSpec blend) noexcept
    : blend_(blend),
      effect_(effect),
      drawRect_(rect),
      targetRect_(rect),
      unscaledRect_(rect),
      parameterIndex_(parameterIndex) {}

IParameter* IControl::Parameter() const noexcept {
  return effect_ && parameterIndex_ >= 0 ? effect_->GetParameter(parameterIndex_) : nullptr;
}

void IControl::DoubleClick(int /*x*/, int /*y*/, const IMouseKeys& /*keys*/) {
  const double defaultValue = DefaultValue();
  if (defaultValue < 0.0) return;
  SetValue(defaultValue);
  MarkDirty(true);
}

void IControl::SetValueFromEffect(double value) noexcept {
  // A value that is not a number is no default to return to.
  if (DefaultValue() < 0.0 && !std::isnan(value)) {
    SetValue(Clamped(value));
    defaultValue_.store(value, std::memory_order_relaxed);
  }
  if (value == Value()) return;
  // Stored within the clamp range at once: a paint on the window thread may
  // read it before MarkDirty runs.
  SetValue(Clamped(value));
  // The request goes in before the dirty flag: a paint pass that runs in
  // between then keeps the control dirty instead of dropping the change.
  paintFlags_.fetch_or(kRedrawRequest, std::memory_order_release);
  MarkDirty(false);
}

void IControl::SetValueFromUser(double value) {
  if (value == Value()) return;
  SetValue(value);
  paintFlags_.fetch_or(kRedrawRequest, std::memory_order_release);
  MarkDirty(true);
}

void IControl::SetHidden(bool hidden) {
  hidden_ = hidden;
  paintFlags_.fetch_or(kRedrawRequest, std::memory_order_release);
  MarkDirty(false);
}

void IControl::SetDisabled(bool disabled) {
  disabled_ = disabled;
  blend_.weight = disabled ? 0.25f : 1.0f;
  MarkDirty(false);
}

bool IControl::HitTest(int x, int y) { return targetRect_.Contains(x, y); }

double IControl::Clamped(double value) const noexcept {
  // Not a number goes to the lower end, so that it reaches neither painting
  // nor the parameter.
  return value >= lowerClamp_ ? std::min(value, upperClamp_) : lowerClamp_;
}

void IControl::MarkDirty(bool pushToEffect) noexcept {
  const double value = Clamped(Value());
  SetValue(value);
  paintFlags_.fetch_or(kDirty, std::memory_order_release);
  if (pushToEffect && effect_ && parameterIndex_ >= 0) effect_->SetParameterFromEditor(parameterIndex_, value);
}

void IControl::MarkClean() noexcept {
  uint8_t flags = paintFlags_.load(std::memory_order_relaxed);
  while (!paintFlags_.compare_exchange_weak(flags, (flags & kRedrawRequest) ? kDirty : 0,
                                            std::memory_order_acq_rel, std::memory_order_relaxed)) {
  }
}

bool IControl::NeedsRepaint() noexcept { return (paintFlags_.load(std::memory_order_acquire) & kDirty) != 0; }

void IControl::SetLinkedValueFromEffect(int k, double value) noexcept {
  LinkedParameter* entry = linked_.Get(k);
  if (!entry || entry->value.load(std::memory_order_relaxed) == value) return;
  entry->value.store(value, std::memory_order_relaxed);
  paintFlags_.fetch_or(kRedrawRequest, std::memory_order_release);
  MarkDirty(false);
}

void IControl::SetClampRange(double lower, double upper) noexcept {
  lowerClamp_ = lower;
  upperClamp_ = upper;
}

bool IControl::AddLinkedParameter(int parameterIndex) noexcept {
  LinkedParameter* entry = linked_.Add(new (std::nothrow) LinkedParameter);
  if (entry) entry->parameterIndex = parameterIndex;
  return entry != nullptr;
}

int IControl::FindLinkedParameter(int parameterIndex) const noexcept {
  for (int k = 0; k < linked_.Count(); ++k) {
    if (linked_.Get(k)->parameterIndex == parameterIndex) return k;
  }
  return -1;
}

double IControl::LinkedValue(int k) const noexcept {
  const LinkedParameter* entry = linked_.Get(k);
  return entry ? entry->value.load(std::memory_order_relaxed) : 0.0;
}

}  // namespace torvane
