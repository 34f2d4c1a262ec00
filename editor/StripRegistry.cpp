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

StripRegistry::Entry* StripRegistry::At(int i) const noexcept {
  std::lock_guard<std::mutex> lock(mutex_);
  return entries_.Get(i);
}

}  // namespace torvane
