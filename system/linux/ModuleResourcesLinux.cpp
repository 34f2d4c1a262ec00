#include "system/ModuleResources.h"
#include "system/linux/EmbeddedResources.h"

namespace torvane {

ResourceBytes FindPngResource(void* /*module*/, int id) noexcept {
  for (const EmbeddedResource* r = kEmbeddedResources; r->data; ++r) {
    if (r->id == id) return {r->data, r->size};
  }
  return {nullptr, 0};
}

}  // namespace torvane
