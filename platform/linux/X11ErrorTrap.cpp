#include "platform/linux/X11ErrorTrap.h"

#include <atomic>
#include <mutex>

namespace torvane {

namespace {

// Connections with a trap set, and the error each last saw. Enough for every
// editor a host can show at once; the handler reads them without a lock.
constexpr int kSlots = 64;

struct Slot {
  std::atomic<Display*> display{nullptr};
  std::atomic<int> errorCode{0};
};

Slot slots[kSlots];
std::atomic<XErrorHandler> previousHandler{nullptr};
std::mutex installMutex;
int trapsSet = 0;  // under installMutex

// Every trap set on the connection sees the error, so that traps may nest.
int HandleError(Display* display, XErrorEvent* event) {
  bool trapped = false;
  for (Slot& slot : slots) {
    if (slot.display.load(std::memory_order_acquire) == display) {
      slot.errorCode.store(event->error_code, std::memory_order_relaxed);
      trapped = true;
    }
  }
  if (trapped) return 0;
  const XErrorHandler next = previousHandler.load(std::memory_order_acquire);
  return next ? next(display, event) : 0;
}

// True when requests were sent that the server has not yet answered for.
bool RequestsOutstanding(Display* display) noexcept {
  return NextRequest(display) - 1 > LastKnownRequestProcessed(display);
}

}  // namespace

X11ErrorTrap::X11ErrorTrap(Display* display) noexcept : display_(display) {
  for (int i = 0; i < kSlots && slot_ < 0; ++i) {
    Display* expected = nullptr;
    if (slots[i].display.compare_exchange_strong(expected, display, std::memory_order_acq_rel)) {
      slots[i].errorCode.store(0, std::memory_order_relaxed);
      slot_ = i;
    }
  }
  std::lock_guard<std::mutex> lock(installMutex);
  if (trapsSet++ == 0) previousHandler.store(XSetErrorHandler(HandleError), std::memory_order_release);
}

X11ErrorTrap::~X11ErrorTrap() {
  if (RequestsOutstanding(display_)) XSync(display_, False);
  if (slot_ >= 0) slots[slot_].display.store(nullptr, std::memory_order_release);
  std::lock_guard<std::mutex> lock(installMutex);
  if (--trapsSet == 0) {
    // A handler installed by someone else meanwhile stays in place.
    const XErrorHandler current = XSetErrorHandler(previousHandler.load(std::memory_order_acquire));
    if (current != HandleError) XSetErrorHandler(current);
  }
}

bool X11ErrorTrap::Failed() noexcept {
  XSync(display_, False);
  return slot_ >= 0 && slots[slot_].errorCode.exchange(0, std::memory_order_relaxed) != 0;
}

}  // namespace torvane
