#pragma once

#include "raster/IRasterBitmap.h"

namespace torvane {

// Renders a full-resolution image strip into target at target's size, which
// the caller chose: for a strip of n >= 2 frames one spare row (or column,
// side by side) per frame, so that a frame never bleeds into the next. Each
// target pixel averages a box of source pixels (the reduction ratio rounded
// up) sampled bilinearly; source pixels outside a frame count as transparent
// black. Runs when the scale changes, on the editor window's thread.
void ResampleStrip(const IRasterBitmap& source, int frameCount, bool sideBySide, IRasterBitmap& target) noexcept;

}  // namespace torvane
