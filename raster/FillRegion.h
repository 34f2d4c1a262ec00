#pragma once

#include <cstdint>

#include "raster/IRasterBitmap.h"

namespace torvane {

// Fills the rectangle (x, y, width, height), clipped to the bitmap, with colour
// (0xAARRGGBB) at opacity alpha. With BlitUseSourceAlpha the colour's own alpha
// scales the opacity; the low byte of mode picks the operator, for which the
// opacity weight stands in as the source alpha.
void FillRegion(IRasterBitmap* bitmap, int x, int y, int width, int height, uint32_t colour,
                float alpha, int mode) noexcept;

}  // namespace torvane
