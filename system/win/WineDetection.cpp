#include "system/win/WineDetection.h"

#include "system/win/WindowsApi.h"

namespace torvane {

namespace {

bool WineKeyPresent() {
  HKEY key = nullptr;
  if (RegOpenKeyA(HKEY_LOCAL_MACHINE, "Software\\Wine", &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

}  // namespace

bool RunningUnderWine() noexcept {
  // A function-local static is initialised exactly once, even when several
  // threads ask at the same time.
  static const bool underWine = WineKeyPresent();
  return underWine;
}

}  // namespace torvane
