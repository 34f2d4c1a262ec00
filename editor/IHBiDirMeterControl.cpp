#include "editor/IHBiDirMeterControl.h"

#include <cmath>

#include "editor/IGraphics.h"

namespace torvane {

IHBiDirMeterControl::IHBiDirMeterControl(IEffectBase* effect, const IBounds& rect) noexcept
    : IControl(effect, rect, -1, {BlendAlpha, 1.0f}), halfWidth_(rect.Width() / 2) {}

void IHBiDirMeterControl::SetColours(const IArgb& centre, const IArgb& extreme) noexcept {
  centreColour_ = centre;
  extremeColour_ = extreme;
}

bool IHBiDirMeterControl::Paint(IGraphics& graphics) {
  const double v = Value();
  const int a = halfWidth_;
  barOffset_ = static_cast<int>(2 * a * v - a);
  // The square root makes small deflections change colour visibly.
  colourMix_ = std::sqrt(std::fabs(v - 0.5) * 2);
  const auto mix = [this](int centre, int extreme) {
    return static_cast<int>((extreme - centre) * colourMix_ + centre);
  };
  currentColour_ = {mix(centreColour_.alpha, extremeColour_.alpha), mix(centreColour_.red, extremeColour_.red),
                    mix(centreColour_.green, extremeColour_.green), mix(centreColour_.blue, extremeColour_.blue)};
  const IBounds& rect = DrawRect();
  const int centreX = rect.left + a;
  if (barOffset_ >= 0) {
    barRect_ = {centreX, rect.top, centreX + barOffset_, rect.bottom};
  } else {
    barRect_ = {centreX + barOffset_, rect.top, centreX + 1, rect.bottom};
  }
  graphics.FillArea(currentColour_, barRect_);
  return true;
}

void IHBiDirMeterControl::Rescale(double /*factor*/) { halfWidth_ = DrawRect().Width() / 2; }

}  // namespace torvane
