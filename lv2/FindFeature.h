#pragma once

#include <lv2/core/lv2.h>

#include <cstring>

namespace torvane {

// The data of the host feature with this URI, or null when the host does not offer it.
inline const void* FindFeature(const LV2_Feature* const* features, const char* uri) noexcept {
  for (const LV2_Feature* const* f = features; f && *f; ++f) {
    if (std::strcmp((*f)->URI, uri) == 0) return (*f)->data;
  }
  return nullptr;
}

}  // namespace torvane
