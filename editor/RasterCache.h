#pragma once

#include <memory>
#include <mutex>

#include "core/OwnedList.h"
#include "raster/IRasterBitmap.h"

namespace torvane {

// The editor's decoded images, one raster per resource id, shared by every
// editor in the process and kept until the module is unloaded. Image strips
// point into it. Any thread may look up or add; the lock covers only the list.
class RasterCache {
 public:
  static RasterCache& Instance() noexcept;

  // The raster cached for id, or null.
  IRasterBitmap* Find(int resourceId) const noexcept;
  // Keeps raster for id and returns it; when id is cached already (another
  // editor was quicker) the cached raster is returned and raster dropped.
  // Null when the list cannot grow.
  IRasterBitmap* Add(int resourceId, std::unique_ptr<IRasterBitmap> raster) noexcept;

 private:
  struct Entry {
    int resourceId;
    std::unique_ptr<IRasterBitmap> raster;
  };

  RasterCache() noexcept = default;
  IRasterBitmap* FindLocked(int resourceId) const noexcept;

  mutable std::mutex mutex_;
  OwnedList<Entry> entries_;
};

}  // namespace torvane
