#include "editor/RasterCache.h"

#include <new>

namespace torvane {

RasterCache& RasterCache::Instance() noexcept {
  static RasterCache cache;
  return cache;
}

IRasterBitmap* RasterCache::FindLocked(int resourceId) const noexcept {
  for (int i = 0; i < entries_.Count(); ++i) {
    const Entry* entry = entries_.Get(i);
    if (entry->resourceId == resourceId) return entry->raster.get();
  }
  return nullptr;
}

IRasterBitmap* RasterCache::Find(int resourceId) const noexcept {
  std::lock_guard<std::mutex> lock(mutex_);
  return FindLocked(resourceId);
}

IRasterBitmap* RasterCache::Add(int resourceId, std::unique_ptr<IRasterBitmap> raster) noexcept {
  if (!raster) return nullptr;
  std::lock_guard<std::mutex> lock(mutex_);
  if (IRasterBitmap* cached = FindLocked(resourceId)) return cached;
  Entry* entry = entries_.Add(new (std::nothrow) Entry{resourceId, std::move(raster)});
  return entry ? entry->raster.get() : nullptr;
}

}  // namespace torvane
