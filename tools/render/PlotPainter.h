#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "raster/CachedFont.h"
#include "raster/MemBitmap.h"
#include "tools/render/PlotLayout.h"
#include "tools/render/PlotRecorder.h"

namespace torvane {

// What the plot says about the render beyond the recorded data.
struct PlotCaption {
  std::string name;      // the title: the input's name
  std::string settings;  // the settings that differ from the plug-in's defaults
  std::string details;   // beside the title: plug-in, rate, channels, length
  std::string note;      // a remark under the details, or empty
  double sampleRate = 48000.0;
  uint64_t frames = 0;   // input frames rendered: the time axis
};

// Draws a render's plot with the raster layer and the system's fonts: the
// title, the input and output waveforms as min/max envelopes, and for a
// plug-in with Torvane's meters one lane per band and one for the limiter,
// gain in dB against time, over a time axis in seconds. Made by RenderPlot
// for one picture, on the main thread.
class PlotPainter {
 public:
  PlotPainter(const PlotRecorder& recorder, const PlotCaption& caption);

  // Draws the whole picture at the bitmap's size. False with the reason when
  // no font can be had.
  bool Paint(MemBitmap& bitmap, std::string& error);

  // The opaque colours of a meter's gain curve (its mean per column) and of
  // the waveforms' peak envelopes.
  static uint32_t LaneColour(int meter);
  static uint32_t WaveColour(bool output);

 private:
  // What one column of the picture shows: every slot it overlaps, merged.
  using Column = PlotRecorder::Slot;

  void GatherColumns();
  bool MakeFonts(std::string& error);
  int Scaled(double pixels) const;
  void Text(CachedFont& font, uint32_t colour, const std::string& text, RasterRect rect, uint32_t flags);
  void PaintTitle();
  void PaintTimeGrid();
  void PaintWave(const RasterRect& panel, bool output);
  void PaintLane(int meter);

  const PlotRecorder& recorder_;
  PlotCaption caption_;
  PlotLayout layout_;
  MemBitmap* bitmap_ = nullptr;
  std::vector<Column> columns_;
  double laneRangeDb_ = PlotLayout::kMeterRangeDb;  // every lane shows +- this
  std::unique_ptr<CachedFont> titleFont_, textFont_, labelFont_, smallFont_;
};

}  // namespace torvane
