#pragma once

#include "core/GrowableBuffer.h"
#include "raster/IRasterBitmap.h"

namespace torvane {

// Encodes a raster as an 8-bit RGB PNG into png, as a window would show it:
// alpha is dropped. False (png then holds nothing meaningful) for an empty
// bitmap, a libpng error or no memory. Used by tools and tests, on any thread
// that owns the bitmap.
bool EncodePng(const IRasterBitmap& bitmap, GrowableBuffer& png) noexcept;

}  // namespace torvane
