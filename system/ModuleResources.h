#pragma once

#include <cstddef>

namespace torvane {

// Bytes of a resource carried inside a module; they stay valid while the
// module is loaded and are never freed by the caller.
struct ResourceBytes {
  const unsigned char* data;
  size_t size;
};

// Finds the resource of type "PNG" with this integer id. On Windows module is
// the HMODULE to search (null: the executable); elsewhere the images are built
// into the program itself and module is ignored. {nullptr, 0} when absent.
ResourceBytes FindPngResource(void* module, int id) noexcept;

}  // namespace torvane
