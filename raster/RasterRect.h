#pragma once

namespace torvane {

// A rectangle in raster pixels; right and bottom are exclusive. Used for source
// areas of blits, clip rectangles and the text boxes of fonts.
struct RasterRect {
  int left;
  int top;
  int right;
  int bottom;
};

}  // namespace torvane
