#pragma once

#include "editor/IBitmapControl.h"

namespace torvane {

// An image switch: every press (and every double click) steps to the next
// frame, wrapping from the last to the first. Owned by IGraphics; window
// thread (values also from the effect, see IControl).
class ISwitchControl : public IBitmapControl {
 public:
  using IBitmapControl::IBitmapControl;

  void MouseDown(int x, int y, const IMouseKeys& keys) override;
  void DoubleClick(int x, int y, const IMouseKeys& keys) override;
};

}  // namespace torvane
