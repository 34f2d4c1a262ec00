#pragma once

#include <vector>

#include "raster/RasterRect.h"

namespace torvane {

// Where everything of a render's plot lies at a given picture size: the title
// band, the input and output waveform panels, one lane per meter, and the
// time axis under them. Every panel spans the same columns, so one column is
// one stretch of time in all of them. A value computed by For and read by
// the painter (and by tests that look at the picture).
struct PlotLayout {
  static constexpr int kDefaultWidth = 1600;
  static constexpr int kDefaultHeight = 900;
  static constexpr int kMinWidth = 480;
  static constexpr int kMinHeight = 320;
  static constexpr int kMaxWidth = 7680;
  static constexpr int kMaxHeight = 4320;
  // The meters cover -20..+20 dB; the lanes show that much or, where the
  // gains stay closer to 0 dB, a smaller symmetric range.
  static constexpr double kMeterRangeDb = 20.0;

  int width = 0, height = 0;
  double scale = 1.0;        // of text, lines and spacing, against the default size
  int left = 0, right = 0;   // the columns that show data: left to right - 1
  RasterRect title = {};
  RasterRect input = {}, output = {};
  std::vector<RasterRect> lanes;  // one per meter; none without meters
  int axisTop = 0;                // the time labels start here

  // Sizes outside the limits are the caller's to refuse.
  static PlotLayout For(int width, int height, int laneCount);

  int Columns() const { return right - left; }
  // The row of a gain in a lane showing +rangeDb (top row) to -rangeDb, and
  // of a sample value (-1..1) in a waveform panel; 0 is the middle row, and
  // values beyond the ends land on the edge rows.
  static int LaneRow(const RasterRect& lane, double db, double rangeDb);
  static int WaveRow(const RasterRect& panel, double value);
};

}  // namespace torvane
