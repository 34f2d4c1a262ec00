#include "editor/SharedStoresLock.h"

namespace torvane {

RecursiveLock& SharedStoresLock::Instance() noexcept {
  static RecursiveLock lock;
  return lock;
}

}  // namespace torvane
