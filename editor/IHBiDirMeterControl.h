#pragma once

#include "editor/IControl.h"

namespace torvane {

// A thin horizontal bar meter that grows left or right from its centre (value
// 0.5) and shifts from the centre colour to the extreme colour with
// deflection. It repaints on every tick. Owned by IGraphics; values arrive
// from the audio thread (see IControl), painting runs on the window thread.
class IHBiDirMeterControl : public IControl {
 public:
  IHBiDirMeterControl(IEffectBase* effect, const IBounds& rect) noexcept;

  bool Paint(IGraphics& graphics) override;
  void Rescale(double factor) override;
  bool NeedsRepaint() noexcept override { return true; }

  void SetColours(const IArgb& centre, const IArgb& extreme) noexcept;
  int HalfWidth() const noexcept { return halfWidth_; }
  // What the last paint drew.
  const IBounds& BarRect() const noexcept { return barRect_; }
  const IArgb& CurrentColour() const noexcept { return currentColour_; }

 private:
  int halfWidth_;
  int barOffset_ = 0;
  double colourMix_ = 0.5;
  IArgb currentColour_ = {255, 0, 0, 0};
  IArgb centreColour_;
  IArgb extremeColour_;
  IBounds barRect_;
};

}  // namespace torvane
