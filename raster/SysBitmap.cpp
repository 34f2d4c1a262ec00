#include "raster/SysBitmap.h"

#include <climits>

namespace torvane {

SysBitmap::SysBitmap(int width, int height) noexcept {
  OpenContext();
  SetSize(width, height);
}

SysBitmap::~SysBitmap() {
  DestroySurface();
  CloseContext();
}

bool SysBitmap::SetSize(int width, int height) noexcept {
  if (width == width_ && height == height_) return false;
  const bool positive = width > 0 && height > 0;
  if (positive && pixels_ && width <= allocatedWidth_ && height <= allocatedHeight_) {
    width_ = width;
    height_ = height;
    return true;
  }
  DestroySurface();
  width_ = 0;
  height_ = 0;
  allocatedWidth_ = 0;
  allocatedHeight_ = 0;
  if (!positive) return false;
  if (width > INT_MAX - 3) return true;  // no surface can be that wide

  allocatedWidth_ = (width + 3) & ~3;
  allocatedHeight_ = height;
  CreateSurface();
  if (!pixels_) {
    allocatedWidth_ = 0;
    allocatedHeight_ = 0;
    return true;
  }
  width_ = width;
  height_ = height;
  return true;
}

}  // namespace torvane
