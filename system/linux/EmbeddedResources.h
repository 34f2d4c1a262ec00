#pragma once

#include <cstddef>

namespace torvane {

// One image built into the program where the platform has no module
// resources. The table itself is generated from resources/torvane.rc at build
// time (resources/EmbedResources.cmake) and linked in with torvane_resources.
struct EmbeddedResource {
  int id;
  const unsigned char* data;
  size_t size;
};

// Ends with an entry whose data is null.
extern const EmbeddedResource kEmbeddedResources[];

}  // namespace torvane
