#pragma once

#include "raster/IRasterBitmap.h"
#include "raster/RasterRect.h"

namespace torvane {

// Draws sourceRect of source (the whole source when null) onto destination with
// its top-left corner at (x, y), clipped to both rasters. alpha is the opacity
// (0 draws nothing), mode a blend mode of raster/BlitMode.h.
void BlitRegion(IRasterBitmap* destination, const IRasterBitmap* source, int x, int y,
                const RasterRect* sourceRect, float alpha, int mode) noexcept;

}  // namespace torvane
