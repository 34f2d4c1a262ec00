#include "tools/render/RenderPlot.h"

#include <cmath>
#include <cstdio>

#include "raster/MemBitmap.h"
#include "raster/PngWriter.h"

namespace torvane {

namespace {
// Slots recorded per column of the picture: merging in pairs leaves more than
// two to each column, so a slot that straddles two columns lends a column at
// most a sliver of its neighbour's time.
constexpr int kSlotsPerColumn = 4;
constexpr const char* kSeparator = " \xC2\xB7 ";  // a middle dot between items
}  // namespace

bool RenderPlot::Open(const std::string& path, int width, int height, OfflineHost& host, std::string& error) {
  if (!file_.Open(path, error)) return false;
  host_ = &host;
  width_ = width;
  height_ = height;
  pluginName_ = host.EffectName();
  // A plug-in that does not know the request answers 0 and writes nothing;
  // anything else than Torvane's eight positions is not drawn as its lanes.
  for (double& position : meters_) position = -1.0;
  bool meters = host.ReadMeters(meters_, kMeters) == kMeters;
  for (double position : meters_) meters = meters && position >= 0.0 && position <= 1.0;
  const PlotLayout layout = PlotLayout::For(width, height, meters ? kMeters : 0);
  recorder_ = std::make_unique<PlotRecorder>(kSlotsPerColumn * layout.Columns(), meters ? kMeters : 0);
  return true;
}

std::string RenderPlot::MissingMetersNote() const {
  return pluginName_ + " has no Torvane meters: the plot shows the waveforms only";
}

void RenderPlot::Record(const RenderedBlock& block) {
  const bool meters = HasMeters() && host_->ReadMeters(meters_, kMeters) == kMeters;
  recorder_->Add(block, meters ? meters_ : nullptr);
}

bool RenderPlot::Write(PlotCaption caption, std::string& error) {
  if (!HasMeters()) caption.note = MissingMetersNote();
  MemBitmap bitmap(width_, height_);
  if (!bitmap.PixelBuffer()) {
    error = "not enough memory for a plot of " + std::to_string(width_) + " x " + std::to_string(height_);
    return false;
  }
  PlotPainter painter(*recorder_, caption);
  if (!painter.Paint(bitmap, error)) return false;
  GrowableBuffer png;
  if (!EncodePng(bitmap, png)) {
    error = "not enough memory to encode the plot as a PNG";
    return false;
  }
  return file_.Write(png.Data(), static_cast<size_t>(png.Size()), error);
}

std::vector<std::string> ParameterTexts(OfflineHost& host) {
  std::vector<std::string> texts;
  for (int i = 0; i < host.NumParameters(); ++i) texts.push_back(host.ParameterDisplay(i));
  return texts;
}

std::string ChangedSettings(OfflineHost& host, const std::vector<std::string>& defaults) {
  std::string changed;
  const std::vector<std::string> now = ParameterTexts(host);
  for (size_t i = 0; i < now.size() && i < defaults.size(); ++i) {
    if (now[i] == defaults[i]) continue;
    const int index = static_cast<int>(i);
    std::string item = host.ParameterName(index) + " " + now[i];
    // Units the plug-in keeps apart from the number ("3.0" and "dB").
    const std::string label = host.ParameterLabel(index);
    if (!label.empty() && now[i].find(label) == std::string::npos) item += " " + label;
    changed += (changed.empty() ? "" : kSeparator) + item;
  }
  return changed.empty() ? "default settings" : changed;
}

std::string PlotDetails(const std::string& pluginName, double sampleRate, int channels, uint64_t frames) {
  char rate[32], length[32];
  std::snprintf(rate, sizeof rate, "%g kHz", sampleRate / 1000.0);
  const double seconds = sampleRate > 0 ? frames / sampleRate : 0.0;
  if (seconds >= 60.0) {
    const long whole = std::lround(seconds);
    std::snprintf(length, sizeof length, "%ld:%02ld min", whole / 60, whole % 60);
  } else {
    std::snprintf(length, sizeof length, "%.2f s", seconds);
  }
  return pluginName + kSeparator + rate + kSeparator + std::to_string(channels) + "-channel input" + kSeparator +
         length;
}

}  // namespace torvane
