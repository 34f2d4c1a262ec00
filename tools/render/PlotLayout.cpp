#include "tools/render/PlotLayout.h"

#include <algorithm>
#include <cmath>

namespace torvane {

namespace {
// Sizes at the default picture size, in pixels; other sizes scale them.
constexpr double kPad = 14;
constexpr double kTitleHeight = 64;
constexpr double kTitleGap = 12;
constexpr double kAxisHeight = 34;
constexpr double kLabelWidth = 150;  // lane names left of the data
constexpr double kScaleWidth = 58;   // dB figures right of it
constexpr double kPanelGap = 5;
constexpr double kSectionGap = 14;   // between the waveforms and the lanes
// Share of the panels' height that each waveform panel takes above the lanes.
constexpr double kWaveShare = 0.1;
// Text must stay legible on the smallest picture and not grow without end.
constexpr double kMinScale = 0.6;
constexpr double kMaxScale = 3.0;

int Scaled(double pixels, double scale) { return std::max(1, static_cast<int>(std::lround(pixels * scale))); }
}  // namespace

PlotLayout PlotLayout::For(int width, int height, int laneCount) {
  PlotLayout layout;
  layout.width = width;
  layout.height = height;
  layout.scale = std::clamp(std::min(width / static_cast<double>(kDefaultWidth),
                                     height / static_cast<double>(kDefaultHeight)),
                            kMinScale, kMaxScale);
  const double s = layout.scale;
  const int pad = Scaled(kPad, s);
  layout.left = Scaled(kLabelWidth, s);
  layout.right = width - Scaled(kScaleWidth, s);
  layout.title = {pad, pad, width - pad, pad + Scaled(kTitleHeight, s)};

  const int top = layout.title.bottom + Scaled(kTitleGap, s);
  const int bottom = height - pad - Scaled(kAxisHeight, s);
  const int gap = Scaled(kPanelGap, s);
  const int body = bottom - top;
  auto panel = [&](int y, int h) { return RasterRect{layout.left, y, layout.right, y + h}; };
  if (laneCount <= 0) {
    const int wave = (body - gap) / 2;
    layout.input = panel(top, wave);
    layout.output = panel(layout.input.bottom + gap, wave);
    layout.axisTop = layout.output.bottom;
    return layout;
  }
  const int wave = static_cast<int>(body * kWaveShare);
  layout.input = panel(top, wave);
  layout.output = panel(layout.input.bottom + gap, wave);
  const int lanesTop = layout.output.bottom + Scaled(kSectionGap, s);
  const int lane = (bottom - lanesTop - (laneCount - 1) * gap) / laneCount;
  for (int k = 0; k < laneCount; ++k) layout.lanes.push_back(panel(lanesTop + k * (lane + gap), lane));
  layout.axisTop = layout.lanes.back().bottom;
  return layout;
}

namespace {
// Rows measured from the panel's middle row, so that small values on either
// side of zero land symmetrically around it.
int RowAround(const RasterRect& panel, double share) {
  const int half = (panel.bottom - panel.top - 1) / 2;
  return panel.top + half - static_cast<int>(std::lround(std::clamp(share, -1.0, 1.0) * half));
}
}  // namespace

int PlotLayout::LaneRow(const RasterRect& lane, double db, double rangeDb) { return RowAround(lane, db / rangeDb); }

int PlotLayout::WaveRow(const RasterRect& panel, double value) { return RowAround(panel, value); }

}  // namespace torvane
