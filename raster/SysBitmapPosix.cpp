// The stand-in surface for platforms without device contexts: a zeroed heap
// buffer with the layout of a top-down DIB section.
#include <cstdlib>

#include "raster/SysBitmap.h"

namespace torvane {

void SysBitmap::OpenContext() noexcept {}

void SysBitmap::CloseContext() noexcept {}

void SysBitmap::CreateSurface() noexcept {
  const size_t rows = static_cast<size_t>(allocatedHeight_);
  surface_ = std::calloc(static_cast<size_t>(allocatedWidth_) * rows, sizeof(uint32_t));
  pixels_ = static_cast<uint32_t*>(surface_);
}

void SysBitmap::DestroySurface() noexcept {
  std::free(surface_);
  surface_ = nullptr;
  pixels_ = nullptr;
}

}  // namespace torvane
