#include "editor/StripRegistry.h"

#include <new>

namespace torvane {

StripRegistry& StripRegistry::Instance() noexcept {
  static StripRegistry registry;
  return registry;
}

IImageStrip* StripRegistry::Add(int resourceId, const char* resourceName, const IImageStrip& strip) noexcept {
  std::lock_guard<std::mutex> lock(mutex_);
  Entry* entry = entries_.Add(new (std::nothrow) Entry{resourceId, resourceName, strip});
  return entry ? &entry->strip : nullptr;
}

int StripRegistry::Count() const noexcept {
  std::lock_guard<std::mutex> lock(mutex_);
  return entries_.Count();
}

bool StripRegistry::FindUnscaledSize(int resourceId, int& width, int& height) const noexcept {
  std::lock_guard<std::mutex> lock(mutex_);
  for (int i = 0; i < entries_.Count(); ++i) {
    const Entry* entry = entries_.Get(i);
    if (entry->resourceId != resourceId) continue;
    width = entry->strip.unscaledWidth;
    height = entry->strip.unscaledHeight;
    return true;
  }
  return false;
}

StripRegistry::Entry* StripRegistry::At(int i) const noexcept {
  std::lock_guard<std::mutex> lock(mutex_);
  return entries_.Get(i);
}

}  // namespace torvane
