#include "platform/linux/RepaintTimer.h"

#include <time.h>

namespace torvane {

bool RepaintTimer::Start(int periodMs, Callback callback, void* context) noexcept {
  Stop();
  if (periodMs <= 0 || !callback) return false;
  periodMs_ = periodMs;
  callback_ = callback;
  context_ = context;
  stopRequested_.store(false, std::memory_order_relaxed);
  started_ = pthread_create(&thread_, nullptr, Run, this) == 0;
  return started_;
}

void RepaintTimer::Stop() noexcept {
  if (!started_) return;
  stopRequested_.store(true, std::memory_order_release);
  if (pthread_equal(pthread_self(), thread_)) return;
  pthread_join(thread_, nullptr);
  started_ = false;
}

void* RepaintTimer::Run(void* self) noexcept {
  auto* timer = static_cast<RepaintTimer*>(self);
  const timespec period{timer->periodMs_ / 1000, (timer->periodMs_ % 1000) * 1000000L};
  timespec next;
  clock_gettime(CLOCK_MONOTONIC, &next);
  while (!timer->stopRequested_.load(std::memory_order_acquire)) {
    // Absolute wake-up times keep the rate steady whatever a tick costs.
    next.tv_sec += period.tv_sec;
    next.tv_nsec += period.tv_nsec;
    if (next.tv_nsec >= 1000000000L) {
      next.tv_nsec -= 1000000000L;
      ++next.tv_sec;
    }
    clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &next, nullptr);
    if (timer->stopRequested_.load(std::memory_order_acquire)) break;
    timer->callback_(timer->context_);
    // A tick that overran starts the count afresh instead of catching up.
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    if (now.tv_sec > next.tv_sec || (now.tv_sec == next.tv_sec && now.tv_nsec > next.tv_nsec)) next = now;
  }
  return nullptr;
}

}  // namespace torvane
