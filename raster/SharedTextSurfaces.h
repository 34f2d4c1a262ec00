#pragma once

#include <mutex>

#include "raster/SysBitmap.h"

namespace torvane {

// The two surfaces every cached font in the process shares: the one glyphs are
// rendered into and the scratch bitmap of native drawing into bitmaps without
// a drawing context. They are created on first need, kept while any cached
// font exists and destroyed with the last one. Fonts may live on different
// threads (one editor window per thread), so the surfaces are only reached
// through a Lease, which holds their lock.
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
