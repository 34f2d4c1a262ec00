#pragma once

#include "framework/RecursiveLock.h"

namespace torvane {

// The one lock over the contents of the process-wide image and font stores:
// a paint pass reads rasters, strip sizes and fonts (and sets a font's
// colour) while a re-render rewrites them, and the editors of several
// instances may do either on threads of their own. Held around every paint
// pass, dirty collection, re-render, strip load and text drawing; taken after
// an editor's window lock and the plug-in lock, and the only lock taken under
// it is the plug-in lock of the editor being painted (to read values).
class SharedStoresLock {
 public:
  static RecursiveLock& Instance() noexcept;
};

}  // namespace torvane
