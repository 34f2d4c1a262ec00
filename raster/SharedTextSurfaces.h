#pragma once

#include <mutex>

#include "raster/SysBitmap.h"

namespace torvane {

// The glyph rendering surface and the native-drawing scratch bitmap that all
// cached fonts share: made on first need, destroyed with the last font. Fonts
// may live on different threads, so the surfaces are only reached through a
// Lease, which holds their lock for its scope.
class SharedTextSurfaces {
 public:
  // Every cached font registers for its lifetime.
  static void AddFont() noexcept;
  static void RemoveFont() noexcept;

  class Lease {
   public:
    Lease() noexcept;
    Lease(const Lease&) = delete;
    Lease& operator=(const Lease&) = delete;

    // The glyph surface, grown to at least side x side; null when it cannot
    // be made.
    SysBitmap* GlyphSurface(int side) noexcept;
    // The scratch bitmap, grown to at least width x height; null when it
    // cannot be made.
    SysBitmap* Scratch(int width, int height) noexcept;

   private:
    std::lock_guard<std::mutex> lock_;
  };
};

}  // namespace torvane
