#include "system/SystemCursor.h"

namespace torvane {

// There is no process-wide pointer shape on X11: a window sets one for itself.
void ShowSystemCursor(SystemCursor /*cursor*/) noexcept {}

}  // namespace torvane
