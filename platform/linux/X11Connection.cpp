#include "platform/linux/X11Connection.h"

#include <time.h>

namespace torvane {

Display* OpenX11Connection() noexcept {
  constexpr int kAttempts = 3;
  constexpr timespec kPause{0, 2000000};  // 2 ms
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    if (Display* display = XOpenDisplay(nullptr)) return display;
    nanosleep(&kPause, nullptr);
  }
  return nullptr;
}

}  // namespace torvane
