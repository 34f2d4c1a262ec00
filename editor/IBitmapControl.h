#pragma once

#include "editor/IControl.h"

namespace torvane {

// Shows the frame of an image strip that its value selects: the first frame
// at 0, the last at 1. The strip belongs to the process-wide registry. Owned
// by IGraphics; window thread (values also from the effect, see IControl).
class IBitmapControl : public IControl {
 public:
  // The rectangle at (x, y) is one frame of the strip.
  IBitmapControl(IEffectBase* effect, int x, int y, int parameterIndex, IImageStrip& strip,
                 int blendMethod = BlendAlpha) noexcept;

  bool Paint(IGraphics& graphics) override;

  // The 1-based frame the current value shows.
  int Frame() const noexcept;

 protected:
  IImageStrip& strip_;
};

}  // namespace torvane
