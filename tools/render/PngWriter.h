#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "raster/IRasterBitmap.h"

namespace torvane {

// Encodes an opaque raster (0xAARRGGBB words, alpha ignored) as an 8-bit RGB
// PNG in memory through libpng. False with the reason on failure.
bool EncodePng(const IRasterBitmap& bitmap, std::vector<uint8_t>& png, std::string& error);

}  // namespace torvane
