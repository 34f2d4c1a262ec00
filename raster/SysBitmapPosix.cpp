// The stand-in surface for platforms without device contexts: a zeroed heap
// buffer with the layout of a top-down DIB section.
#include <cstdlib>

#include "raster/SysBitmap.h"

namespace torvane {

void SysBitmap::OpenContext() noexcept {}

void SysBitmap::CloseContext() noexcept {}

uint32_t* SysBitmap::AllocatePixels(int pitch, int rows) noexcept {
  return static_cast<uint32_t*>(std::calloc(static_cast<size_t>(pitch) * static_cast<size_t>(rows), sizeof(uint32_t)));
}

void SysBitmap::FreePixels(uint32_t* pixels) noexcept { std::free(pixels); }

}  // namespace torvane
