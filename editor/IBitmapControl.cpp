#include "editor/IBitmapControl.h"

#include <algorithm>

#include "editor/IGraphics.h"

namespace torvane {

namespace {
// One frame at scale 1, like every control's rectangle when it is built.
IBounds FrameRect(int x, int y, const IImageStrip& strip) noexcept {
  const int frames = std::max(strip.frameCount, 1);
  if (strip.sideBySide) return {x, y, x + strip.unscaledWidth / frames, y + strip.unscaledHeight};
  return {x, y, x + strip.unscaledWidth, y + strip.unscaledHeight / frames};
}
}  // namespace

IBitmapControl::IBitmapControl(IEffectBase* effect, int x, int y, int parameterIndex, IImageStrip& strip,
                               int blendMethod) noexcept
    : IControl(effect, FrameRect(x, y, strip), parameterIndex, {blendMethod, 1.0f}), strip_(strip) {}

int IBitmapControl::Frame() const noexcept {
  const int frames = strip_.frameCount;
  if (frames <= 1) return 1;
  const int frame = static_cast<int>((frames - 1) * Value() + 0.5) + 1;
  return std::clamp(frame, 1, frames);
}

bool IBitmapControl::Paint(IGraphics& graphics) {
  graphics.BlitFrame(strip_, DrawRect(), Frame(), &blend_);
  return true;
}

}  // namespace torvane
