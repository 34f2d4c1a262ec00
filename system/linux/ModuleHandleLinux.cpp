#include <dlfcn.h>
#include <limits.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "system/ModuleHandle.h"

namespace torvane {

void* ThisModule() noexcept { return nullptr; }

void RememberModule(void* /*module*/) noexcept {}

bool ThisModulePath(char* out, size_t capacity) noexcept {
  Dl_info info = {};
  // The shared object (or program) that holds this very function.
  if (!out || capacity == 0 || !dladdr(reinterpret_cast<void*>(&ThisModulePath), &info) || !info.dli_fname) {
    return false;
  }
  // The name may be relative to where the program started: make it absolute
  // while the working folder is most likely still that one.
  char absolute[PATH_MAX];
  if (!realpath(info.dli_fname, absolute)) return false;
  const size_t length = std::strlen(absolute);
  if (length >= capacity) return false;
  std::memcpy(out, absolute, length + 1);
  return true;
}

bool ProgramPath(char* out, size_t capacity) noexcept {
  if (!out || capacity == 0) return false;
  const ssize_t length = readlink("/proc/self/exe", out, capacity);
  // readlink does not terminate, and a name that filled the buffer may be cut.
  if (length <= 0 || static_cast<size_t>(length) >= capacity) return false;
  out[length] = '\0';
  return true;
}

}  // namespace torvane
