#include "raster/SurfaceBitmap.h"

#include <climits>

namespace torvane {

bool SurfaceBitmap::SetSize(int width, int height) noexcept {
  if (width == width_ && height == height_) return false;
  const bool positive = width > 0 && height > 0;
  if (positive && pixels_ && width <= allocatedWidth_ && height <= allocatedHeight_) {
    width_ = width;
    height_ = height;
    return true;
  }
  ReleasePixels();
  if (!positive) return false;
  if (width > INT_MAX - 3) return true;  // no surface can be that wide

  const int pitch = (width + 3) & ~3;
  pixels_ = AllocatePixels(pitch, height);
  if (!pixels_) return true;
  width_ = width;
  height_ = height;
  allocatedWidth_ = pitch;
  allocatedHeight_ = height;
  return true;
}

void SurfaceBitmap::ReleasePixels() noexcept {
  if (pixels_) FreePixels(pixels_);
  pixels_ = nullptr;
  width_ = height_ = allocatedWidth_ = allocatedHeight_ = 0;
}

}  // namespace torvane
