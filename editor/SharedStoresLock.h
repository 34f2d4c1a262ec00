#pragma once

#include "core/RecursiveLock.h"

namespace torvane {

// The one lock over the contents of the process-wide image and font stores:
// a paint pass reads rasters, strip sizes and fonts (and sets a font's
// colour) while a re-render rewrites them, and the editors of several
// instances may do either on threads of their own. Held around every blit,
// text drawing or measuring, strip load and re-render; taken after an
// editor's window lock and the plug-in lock, and no other lock is taken
// under it.
class SharedStoresLock {
 public:
  static RecursiveLock& Instance() noexcept;
};

}  // namespace torvane
