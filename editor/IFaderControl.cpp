#include "editor/IFaderControl.h"

#include "editor/IGraphics.h"
#include "framework/IEffectBase.h"
#include "framework/IParameter.h"

namespace torvane {

IFaderControl::IFaderControl(IEffectBase* effect, int x, int y, int travelLength, int parameterIndex,
                             IImageStrip& handle) noexcept
    : IControl(effect, IBounds{}, parameterIndex, {BlendAlpha, 1.0f}),
      travelLength_(travelLength),
      handleSize_(handle.unscaledHeight),
      unscaledTravelLength_(travelLength),
      unscaledHandleSize_(handle.unscaledHeight),
      handle_(handle) {
  // Laid out at scale 1, whatever scale the handle image is rendered at; the
  // unscaled rectangle stays empty until the resize controller lays the fader out.
  const IBounds track{x, y, x + handle.unscaledWidth, y + travelLength};
  SetDrawRect(track);
  SetTargetRect(track);
}

void IFaderControl::SnapToPointer(int /*x*/, int y) {
  const double position = static_cast<double>(y - handleSize_ / 2 - DrawRect().top);
  SetValue(1.0 - position / (travelLength_ - handleSize_));
  MarkDirty(true);
}

void IFaderControl::MouseDown(int x, int y, const IMouseKeys& keys) {
  if (!keys.right) SnapToPointer(x, y);
}

void IFaderControl::MouseDrag(int x, int y, int /*dx*/, int /*dy*/, const IMouseKeys& /*keys*/) {
  SnapToPointer(x, y);
}

void IFaderControl::Wheel(int /*x*/, int /*y*/, const IMouseKeys& keys, int notches) {
  constexpr double kStep = 0.01;
  constexpr double kFineStep = 0.001;
  double value = Value() + notches * (keys.shift || keys.control ? kFineStep : kStep);
  const IParameter* parameter = Parameter();
  if (parameter && parameter->Type() != TypeDouble && parameter->Step() > 0.0) {
    // A stepped parameter moves a whole step per notch, from the value it
    // holds: a hundredth of the travel would round back to the same choice.
    ScopedLock lock(Effect()->Lock());
    value = parameter->PositionOf(parameter->Value() + notches * parameter->Step());
  }
  // Nothing to tell the host at either end.
  if (Clamped(value) == Value()) return;
  SetValue(value);
  MarkDirty(true);
}

bool IFaderControl::Paint(IGraphics& graphics) {
  const IBounds& track = DrawRect();
  const int offset = static_cast<int>((travelLength_ - handleSize_) * (1.0 - Value()));
  // The handle image's size belongs to the shared stores, which another
  // editor may be re-rendering.
  graphics.BlitStripAt(handle_, track.left, track.top + offset, &blend_);
  return true;
}

void IFaderControl::Rescale(double factor) {
  handleSize_ = static_cast<int>(unscaledHandleSize_ * factor);
  travelLength_ = static_cast<int>(unscaledTravelLength_ * factor);
}

}  // namespace torvane
