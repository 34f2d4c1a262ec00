#pragma once

#include <cstdint>

#include "raster/IRasterBitmap.h"

namespace torvane {

// Draws the segment from (x1, y1) to (x2, y2), both end points included, in
// colour (0xAARRGGBB) at opacity alpha, clipped to the bitmap. Horizontal,
// vertical and 45-degree segments set one pixel per step; all others are
// antialiased over two pixels per step. The low byte of mode picks the
// operator, with the colour (its alpha included) as the source;
// BlitUseSourceAlpha plays no part.
void DrawLine(IRasterBitmap* bitmap, int x1, int y1, int x2, int y2, uint32_t colour, float alpha,
              int mode) noexcept;

}  // namespace torvane
