#include "editor/ISwitchControl.h"

namespace torvane {

void ISwitchControl::MouseDown(int /*x*/, int /*y*/, const IMouseKeys& /*keys*/) {
  const double step = strip_.frameCount > 1 ? 1.0 / (strip_.frameCount - 1) : 1.0;
  double value = Value() + step;
  // A little above 1 still counts as the last frame: steps of 1/(n - 1) add
  // up to slightly more than 1.
  constexpr double kWrapAbove = 1.001;
  if (value > kWrapAbove) value = 0.0;
  SetValue(value);
  MarkDirty(true);
}

// A double click arrives after a press: it steps once more.
void ISwitchControl::DoubleClick(int x, int y, const IMouseKeys& keys) { MouseDown(x, y, keys); }

}  // namespace torvane
