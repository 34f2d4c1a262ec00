#include "tools/render/PlotPainter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <limits>

#include "raster/BlitMode.h"
#include "raster/DrawLine.h"
#include "raster/FillRegion.h"
#include "system/SystemFont.h"

namespace torvane {

namespace {
// Liberation Sans comes with the setup; fontconfig finds a stand-in elsewhere.
constexpr const char* kFontFace = "Liberation Sans";
constexpr int kRegular = 400, kBold = 700;
constexpr int kAntialiased = 2;

constexpr uint32_t kBackground = 0xFF15171C;
constexpr uint32_t kPanel = 0xFF1E2128;
constexpr uint32_t kGrid = 0xFF2C3039;
constexpr uint32_t kZeroLine = 0xFF5D6572;
constexpr uint32_t kTextColour = 0xFFE4E7EB;
constexpr uint32_t kDimText = 0xFF8E96A3;
constexpr uint32_t kNoteColour = 0xFFE8B04C;
// Waveforms: the peaks' envelope muted, the RMS inside it bright.
constexpr uint32_t kInputPeaks = 0xFF586272;
constexpr uint32_t kInputRms = 0xFF9AA5B6;
constexpr uint32_t kOutputPeaks = 0xFF2D6F9C;
constexpr uint32_t kOutputRms = 0xFF62BDF0;
constexpr uint32_t kClipColour = 0xFFFF4D4D;
// The area between 0 dB and a gain curve, and the band between the lowest
// and highest gain of each column around it, in the curve's colour.
constexpr float kAreaOpacity = 0.2f;
constexpr float kBandOpacity = 0.45f;

// Torvane's meters in the order the plug-in hands them out.
struct LaneStyle {
  const char* name;
  const char* band;
  uint32_t colour;
};
constexpr LaneStyle kLanes[PlotRecorder::kMaxMeters] = {
    {"Sub Bass", "30 Hz", 0xFFE4574C},     {"Low Bass", "80 Hz", 0xFFEE8A3C},
    {"Hi Bass", "120 Hz", 0xFFE9C13F},     {"Fullness", "300 Hz", 0xFF8CC657},
    {"Articulation", "500 Hz", 0xFF39B9A4}, {"Presence", "1.8 kHz", 0xFF4E9BE6},
    {"Treble", "4.5 kHz", 0xFF9B7BEA},     {"Limiter", "output peaks", 0xFFEE5C9A},
};

// A meter position (0..1, 0.5 = 0 dB) as the gain it shows.
double PositionToDb(double position) { return (2.0 * position - 1.0) * PlotLayout::kMeterRangeDb; }

// The lanes' ranges (+-dB), the smallest that holds every gain is taken:
// leveling mostly moves a few dB, and a lane of +-20 dB would flatten it.
constexpr double kLaneRanges[] = {6.0, 12.0, PlotLayout::kMeterRangeDb};
// A gain a hair beyond a range's end, from the meter scale's arithmetic, still fits it.
constexpr double kRangeTolerance = 0.01;

// "+2.0 dB", "0.0 dB", "−7.4 dB" with a true minus sign.
std::string Decibels(double db, const char* unit = " dB") {
  char text[48];
  const double shown = std::fabs(db) < 0.05 ? 0.0 : db;
  std::snprintf(text, sizeof text, "%s%.1f%s", shown > 0 ? "+" : shown < 0 ? "\xE2\x88\x92" : "", std::fabs(shown),
                unit);
  return text;
}

// Time-axis steps in seconds: round numbers at any zoom, whole minutes on long takes.
constexpr double kTimeSteps[] = {0.01, 0.02, 0.05, 0.1, 0.2, 0.25, 0.5, 1, 2, 5, 10, 15, 20, 30,
                                 60, 120, 300, 600, 900, 1200, 1800, 3600, 7200, 18000, 36000};
// Beyond this length the axis counts minutes and seconds.
constexpr double kMinutesFrom = 120.0;

// A tick's label: minutes and seconds on a long take's axis, else seconds
// with as many decimals as the step needs.
std::string TimeLabel(double seconds, double step, bool minutes) {
  char text[32];
  if (minutes) {
    const long whole = std::lround(seconds);
    if (whole >= 3600) {
      std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", whole / 3600, whole / 60 % 60, whole % 60);
    } else {
      std::snprintf(text, sizeof text, "%ld:%02ld", whole / 60, whole % 60);
    }
  } else {
    const int decimals = step >= 1.0 ? 0 : step >= 0.1 ? 1 : 2;
    std::snprintf(text, sizeof text, "%.*f", decimals + (step == 0.25 ? 1 : 0), seconds);
  }
  return text;
}

// A column's extent joined to the previous column's, so that a curve stays
// one line where it jumps, and at least `thickness` rows tall.
struct Span {
  int top, bottom;
};
Span Joined(Span span, const Span* previous, int thickness) {
  if (previous) {
    span.top = std::min(span.top, previous->bottom);
    span.bottom = std::max(span.bottom, previous->top);
  }
  const int missing = thickness - (span.bottom - span.top + 1);
  if (missing > 0) {
    span.top -= missing / 2;
    span.bottom += missing - missing / 2;
  }
  return span;
}

void FillSpan(MemBitmap& bitmap, int x, Span span, uint32_t colour, float opacity = 1.0f) {
  FillRegion(&bitmap, x, span.top, 1, span.bottom - span.top + 1, colour, opacity, BlitCopy);
}
}  // namespace

uint32_t PlotPainter::LaneColour(int meter) { return kLanes[meter].colour; }

uint32_t PlotPainter::WaveColour(bool output) { return output ? kOutputPeaks : kInputPeaks; }

PlotPainter::PlotPainter(const PlotRecorder& recorder, const PlotCaption& caption)
    : recorder_(recorder), caption_(caption) {}

int PlotPainter::Scaled(double pixels) const {
  return std::max(1, static_cast<int>(std::lround(pixels * layout_.scale)));
}

bool PlotPainter::Paint(MemBitmap& bitmap, std::string& error) {
  bitmap_ = &bitmap;
  layout_ = PlotLayout::For(bitmap.Width(), bitmap.Height(), recorder_.MeterCount());
  if (!MakeFonts(error)) return false;
  GatherColumns();
  FillRegion(&bitmap, 0, 0, bitmap.Width(), bitmap.Height(), kBackground, 1.0f, BlitCopy);
  PaintTitle();
  for (const RasterRect* panel : {&layout_.input, &layout_.output}) {
    FillRegion(&bitmap, panel->left, panel->top, panel->right - panel->left, panel->bottom - panel->top, kPanel,
               1.0f, BlitCopy);
  }
  for (const RasterRect& lane : layout_.lanes) {
    FillRegion(&bitmap, lane.left, lane.top, lane.right - lane.left, lane.bottom - lane.top, kPanel, 1.0f, BlitCopy);
  }
  PaintTimeGrid();
  PaintWave(layout_.input, false);
  PaintWave(layout_.output, true);
  for (int k = 0; k < static_cast<int>(layout_.lanes.size()); ++k) PaintLane(k);
  return true;
}

bool PlotPainter::MakeFonts(std::string& error) {
  auto make = [this](double pixels, int weight) {
    std::unique_ptr<CachedFont> font;
    SystemFont system = CreateSystemFont({kFontFace, Scaled(pixels), 0, weight, false, kAntialiased});
    if (!system) return font;
    font = std::make_unique<CachedFont>();
    font->AdoptSystemFont(system, kFontOwnsSystemFont);
    return font;
  };
  titleFont_ = make(24, kBold);
  textFont_ = make(15, kRegular);
  labelFont_ = make(15, kBold);
  smallFont_ = make(13, kRegular);
  if (titleFont_ && textFont_ && labelFont_ && smallFont_) return true;
  error = "no font for the plot's text: install a TrueType font (the setup installs fonts-liberation)";
  return false;
}

void PlotPainter::GatherColumns() {
  const int count = layout_.Columns();
  columns_.assign(static_cast<size_t>(std::max(count, 0)), Column{});
  if (recorder_.Count() == 0 || caption_.frames == 0 || count <= 0) return;
  // Column c shows frames c * frames / count up to (c + 1) * frames / count,
  // and takes every slot that overlaps them.
  const double framesPerColumn = static_cast<double>(caption_.frames) / count;
  const double framesPerSlot = static_cast<double>(recorder_.FramesPerSlot());
  const int last = recorder_.Count() - 1;
  double largest = 0.0;
  for (int c = 0; c < count; ++c) {
    const double start = c * framesPerColumn, end = (c + 1) * framesPerColumn;
    const int first = std::min(last, static_cast<int>(start / framesPerSlot));
    const int final = std::clamp(static_cast<int>(std::ceil(end / framesPerSlot)) - 1, first, last);
    Column& column = columns_[c];
    for (int s = first; s <= final; ++s) {
      const PlotRecorder::Slot& slot = recorder_.At(s);
      column.input.Merge(slot.input);
      column.output.Merge(slot.output);
      for (int k = 0; k < recorder_.MeterCount(); ++k) column.meters[k].Merge(slot.meters[k]);
    }
    for (int k = 0; k < recorder_.MeterCount(); ++k) {
      if (column.meters[k].Empty()) continue;
      largest = std::max({largest, std::fabs(PositionToDb(column.meters[k].low)),
                          std::fabs(PositionToDb(column.meters[k].high))});
    }
  }
  for (double range : kLaneRanges) {
    if (largest <= range + kRangeTolerance) {
      laneRangeDb_ = range;
      break;
    }
  }
}

void PlotPainter::Text(CachedFont& font, uint32_t colour, const std::string& text, RasterRect rect,
                       uint32_t flags) {
  font.SetTextColour(colour);
  font.RenderTextInto(bitmap_, text.c_str(), -1, &rect, flags | kTextSingleLine);
}

void PlotPainter::PaintTitle() {
  const RasterRect& t = layout_.title;
  const int split = t.top + titleFont_->LineHeight() + Scaled(4);
  const int detailsWidth = (t.right - t.left) * 2 / 5;
  Text(*titleFont_, kTextColour, caption_.name, {t.left, t.top, t.right - detailsWidth, split}, kTextBottom);
  Text(*textFont_, kDimText, caption_.settings, {t.left, split + Scaled(4), t.right - detailsWidth, t.bottom}, 0);
  Text(*textFont_, kDimText, caption_.details, {t.right - detailsWidth, t.top, t.right, split},
       kTextRight | kTextBottom);
  Text(*textFont_, kNoteColour, caption_.note, {t.right - detailsWidth, split + Scaled(4), t.right, t.bottom},
       kTextRight);
}

void PlotPainter::PaintTimeGrid() {
  const int columns = layout_.Columns();
  const double seconds = caption_.frames / caption_.sampleRate;
  if (columns <= 0 || !(seconds > 0.0)) return;
  const double pixelsPerSecond = columns / seconds;
  double step = kTimeSteps[std::size(kTimeSteps) - 1];
  for (double candidate : kTimeSteps) {
    if (candidate * pixelsPerSecond >= Scaled(90)) {
      step = candidate;
      break;
    }
  }
  const bool minutes = step >= 60.0 || seconds >= kMinutesFrom;
  const RasterRect& last = layout_.lanes.empty() ? layout_.output : layout_.lanes.back();
  const int labelTop = layout_.axisTop + Scaled(7);
  const int labelBottom = labelTop + smallFont_->LineHeight() + Scaled(2);
  std::vector<const RasterRect*> panels = {&layout_.input, &layout_.output};
  for (const RasterRect& lane : layout_.lanes) panels.push_back(&lane);
  for (int i = 0;; ++i) {
    const double time = i * step;
    const int x = layout_.left + static_cast<int>(std::lround(time * pixelsPerSecond));
    if (x >= layout_.right) break;
    if (x > layout_.left) {
      for (const RasterRect* panel : panels) {
        DrawLine(bitmap_, x, panel->top, x, panel->bottom - 1, kGrid, 1.0f, BlitCopy);
      }
    }
    DrawLine(bitmap_, x, last.bottom, x, last.bottom + Scaled(4), kZeroLine, 1.0f, BlitCopy);
    const int half = Scaled(60);
    if (x + half / 2 > layout_.width) continue;
    Text(*smallFont_, kDimText, TimeLabel(time, step, minutes), {x - half, labelTop, x + half, labelBottom},
         kTextCentre);
  }
  Text(*smallFont_, kDimText, minutes ? "min:sec" : "seconds",
       {Scaled(14), labelTop, layout_.left - Scaled(26), labelBottom}, kTextRight);
}

void PlotPainter::PaintWave(const RasterRect& panel, bool output) {
  const uint32_t peaks = output ? kOutputPeaks : kInputPeaks, rms = output ? kOutputRms : kInputRms;
  const int centre = PlotLayout::WaveRow(panel, 0.0);
  DrawLine(bitmap_, panel.left, centre, panel.right - 1, centre, kZeroLine, 1.0f, BlitCopy);
  double peak = 0.0;
  Span previous = {};
  bool joined = false;
  for (int c = 0; c < layout_.Columns(); ++c) {
    const PlotRecorder::Range& range = output ? columns_[c].output : columns_[c].input;
    if (range.Empty()) {
      joined = false;
      continue;
    }
    peak = std::max({peak, std::fabs(range.low), std::fabs(range.high)});
    const int x = panel.left + c;
    const Span span = Joined({PlotLayout::WaveRow(panel, range.high), PlotLayout::WaveRow(panel, range.low)},
                             joined ? &previous : nullptr, 1);
    FillSpan(*bitmap_, x, span, peaks);
    // The envelope's own rows stay visible at both ends.
    const Span inside = {std::max(span.top + 1, PlotLayout::WaveRow(panel, range.Rms())),
                         std::min(span.bottom - 1, PlotLayout::WaveRow(panel, -range.Rms()))};
    if (inside.top <= inside.bottom) FillSpan(*bitmap_, x, inside, rms);
    // Samples beyond full scale mark the edge they crossed.
    if (range.high > 1.0) FillSpan(*bitmap_, x, {panel.top, panel.top + Scaled(2) - 1}, kClipColour);
    if (range.low < -1.0) FillSpan(*bitmap_, x, {panel.bottom - Scaled(2), panel.bottom - 1}, kClipColour);
    previous = span;
    joined = true;
  }
  const int line = labelFont_->LineHeight();
  const int x = Scaled(14), top = panel.top + Scaled(4);
  Text(*labelFont_, rms, output ? "Output" : "Input", {x, top, layout_.left - Scaled(10), top + line}, 0);
  // The whole render's levels, from the slots: columns may share them.
  PlotRecorder::Range all;
  for (int k = 0; k < recorder_.Count(); ++k) all.Merge(output ? recorder_.At(k).output : recorder_.At(k).input);
  const int small = smallFont_->LineHeight(), right = layout_.left - Scaled(10);
  if (panel.bottom - top < line + small) return;
  if (!(peak > 0.0)) {
    Text(*smallFont_, kDimText, "silent", {x, top + line, right, top + line + small}, 0);
    return;
  }
  Text(*smallFont_, kDimText, "peak " + Decibels(20.0 * std::log10(peak), " dBFS"),
       {x, top + line, right, top + line + small}, 0);
  if (panel.bottom - top >= line + 2 * small && all.Rms() > 0.0) {
    Text(*smallFont_, kDimText, "RMS " + Decibels(20.0 * std::log10(all.Rms()), " dBFS"),
         {x, top + line + small, right, top + line + 2 * small}, 0);
  }
}

void PlotPainter::PaintLane(int meter) {
  const RasterRect& lane = layout_.lanes[meter];
  const LaneStyle& style = kLanes[meter];
  const double scale = laneRangeDb_, grid = scale / 2.0;
  for (double db : {grid, -grid}) {
    const int y = PlotLayout::LaneRow(lane, db, scale);
    DrawLine(bitmap_, lane.left, y, lane.right - 1, y, kGrid, 1.0f, BlitCopy);
  }
  const int zero = PlotLayout::LaneRow(lane, 0.0, scale);
  DrawLine(bitmap_, lane.left, zero, lane.right - 1, zero, kZeroLine, 1.0f, BlitCopy);

  double lowest = std::numeric_limits<double>::infinity(), highest = -lowest;
  Span previousBand = {}, previousMean = {};
  bool joined = false;
  const int thickness = Scaled(2);
  auto inLane = [&lane](Span span) {
    return Span{std::max(span.top, lane.top), std::min(span.bottom, lane.bottom - 1)};
  };
  for (int c = 0; c < layout_.Columns(); ++c) {
    const PlotRecorder::Range& range = columns_[c].meters[meter];
    if (range.Empty()) {
      joined = false;
      continue;
    }
    const double low = PositionToDb(range.low), high = PositionToDb(range.high);
    lowest = std::min(lowest, low);
    highest = std::max(highest, high);
    const int x = lane.left + c;
    // The mean gain as the curve, the column's extremes as a band around it
    // where many blocks share a column.
    const int meanRow = PlotLayout::LaneRow(lane, PositionToDb(range.Mean()), scale);
    const Span mean = Joined({meanRow, meanRow}, joined ? &previousMean : nullptr, thickness);
    const Span band = Joined({PlotLayout::LaneRow(lane, high, scale), PlotLayout::LaneRow(lane, low, scale)},
                             joined ? &previousBand : nullptr, 1);
    if (meanRow != zero) {
      FillSpan(*bitmap_, x, {std::min(meanRow, zero + 1), std::max(meanRow, zero - 1)}, style.colour, kAreaOpacity);
    }
    FillSpan(*bitmap_, x, inLane(band), style.colour, kBandOpacity);
    FillSpan(*bitmap_, x, inLane(mean), style.colour);
    previousBand = band;
    previousMean = mean;
    joined = true;
  }

  // Names and the range reached on the left, the dB scale on the right.
  const int line = labelFont_->LineHeight(), small = smallFont_->LineHeight();
  const int x = Scaled(14), right = layout_.left - Scaled(10), top = lane.top + Scaled(3);
  Text(*labelFont_, style.colour, style.name, {x, top, right, top + line}, 0);
  if (lane.bottom - top >= line + small) {
    Text(*smallFont_, kDimText, style.band, {x, top + line, right, top + line + small}, 0);
  }
  if (lowest <= highest && lane.bottom - top >= line + 2 * small) {
    const std::string reached =
        std::fabs(highest - lowest) < 0.05 ? Decibels(lowest) : Decibels(lowest, "") + " to " + Decibels(highest);
    Text(*smallFont_, kDimText, reached, {x, top + line + small, right, top + line + 2 * small}, 0);
  }
  const int scaleLeft = lane.right + Scaled(8);
  const bool roomForAll = lane.bottom - lane.top >= 4 * small;
  for (double db : {grid, 0.0, -grid}) {
    if (db != 0.0 && !roomForAll) continue;
    const int y = PlotLayout::LaneRow(lane, db, scale);
    char figure[16];
    std::snprintf(figure, sizeof figure, "%g", std::fabs(db));
    const std::string label = db == 0.0 ? "0 dB" : (db > 0 ? "+" : "\xE2\x88\x92") + std::string(figure);
    Text(*smallFont_, db == 0.0 ? kTextColour : kDimText, label, {scaleLeft, y - small, layout_.width, y + small},
         kTextVerticalCentre);
  }
}

}  // namespace torvane
