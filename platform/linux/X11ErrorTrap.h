#pragma once

#include <X11/Xlib.h>

namespace torvane {

// Keeps the X protocol errors of the editor's own display connection away from
// the process's error handler, whose default ends the process: the host's.
// While a trap is set, errors on its connection are recorded; errors on the
// host's connections go on to the handler installed before. The destructor
// waits for the server to process what was sent, so that every error of the
// trapped requests arrives while the trap is set. At most one trap per
// connection at a time; traps of different connections may be set on any
// threads at once.
class X11ErrorTrap {
 public:
  explicit X11ErrorTrap(Display* display) noexcept;
  ~X11ErrorTrap();
  X11ErrorTrap(const X11ErrorTrap&) = delete;
  X11ErrorTrap& operator=(const X11ErrorTrap&) = delete;

  // Waits for the server; true when a request sent since the trap was set, or
  // since the last call, failed.
  bool Failed() noexcept;

 private:
  Display* display_;
  int slot_ = -1;
};

}  // namespace torvane
