#pragma once

#include <pthread.h>

#include <atomic>

namespace torvane {

// A thread of our own that calls a function at a fixed period until stopped:
// the editor's repaint clock for hosts that never send the idle request.
// Owned by IGraphicsX11 while its window is open; started and stopped on the
// thread that owns it. Stopping from inside the callback only asks the thread
// to end; the next Stop from elsewhere (or the destructor) waits for it.
class RepaintTimer {
 public:
  using Callback = void (*)(void* context);

  RepaintTimer() noexcept = default;
  ~RepaintTimer() { Stop(); }
  RepaintTimer(const RepaintTimer&) = delete;
  RepaintTimer& operator=(const RepaintTimer&) = delete;

  // Starts the thread (stopping a running one first); false when no thread
  // can be made.
  bool Start(int periodMs, Callback callback, void* context) noexcept;
  void Stop() noexcept;

 private:
  static void* Run(void* self) noexcept;

  pthread_t thread_ = {};
  bool started_ = false;
  std::atomic<bool> stopRequested_{false};
  int periodMs_ = 0;
  Callback callback_ = nullptr;
  void* context_ = nullptr;
};

}  // namespace torvane
