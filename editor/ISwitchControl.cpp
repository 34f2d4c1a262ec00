#include "editor/ISwitchControl.h"

namespace torvane {

void ISwitchControl::MouseDown(int /*x*/, int /*y*/, const IMouseKeys& /*keys*/) {
  const int frames = strip_.frameCount;
  if (frames <= 1) {
    SetValue(Value() > 0.0 ? 0.0 : 1.0);
  } else {
    // From the choice shown, which a host may have set between two steps:
    // the parameter holds the nearest choice, as the frame does. Frames count
    // from 1, so the shown frame is also the index of the next choice.
    const int next = Frame() % frames;
    SetValue(static_cast<double>(next) / (frames - 1));
  }
  MarkDirty(true);
}

// A double click arrives after a press: it steps once more.
void ISwitchControl::DoubleClick(int x, int y, const IMouseKeys& keys) { MouseDown(x, y, keys); }

}  // namespace torvane
