#pragma once

#include "raster/IRasterBitmap.h"

namespace torvane {

// Sets every pixel in use to 0 (transparent black); the padding at the end of
// each row is left alone.
void ClearBitmap(IRasterBitmap* bitmap) noexcept;

}  // namespace torvane
