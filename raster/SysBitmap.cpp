#include "raster/SysBitmap.h"

namespace torvane {

SysBitmap::SysBitmap(int width, int height) noexcept {
  OpenContext();
  SetSize(width, height);
}

SysBitmap::~SysBitmap() {
  ReleasePixels();
  CloseContext();
}

}  // namespace torvane
