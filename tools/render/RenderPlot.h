#pragma once

#include <memory>
#include <string>
#include <vector>

#include "tools/render/OfflineHost.h"
#include "tools/render/OutputFile.h"
#include "tools/render/PlotPainter.h"
#include "tools/render/PlotRecorder.h"
#include "tools/render/RenderedBlock.h"

namespace torvane {

// The --plot side of a render: asks the plug-in for Torvane's meters,
// records every block while the render streams, and at the end draws the
// picture and writes it as a PNG, which takes its place with the render's
// other outputs. A plug-in without the meters gets the waveforms alone.
// Owned by main, used on the main thread.
class RenderPlot {
 public:
  // The meters a plot draws lanes for: Torvane's seven bands and its limiter.
  static constexpr int kMeters = 8;

  // Opens the picture's file, so that a bad path fails before the render,
  // and asks the plug-in for its meters.
  bool Open(const std::string& path, int width, int height, OfflineHost& host, std::string& error);
  bool HasMeters() const { return recorder_ && recorder_->MeterCount() > 0; }
  const std::string& Name() const { return file_.Name(); }
  // What the report and the picture say when there are no meters to draw.
  std::string MissingMetersNote() const;

  // After every processing call: the block's samples and the meters as they are now.
  void Record(const RenderedBlock& block);
  // Draws, encodes and writes the picture; Commit puts it in place.
  bool Write(PlotCaption caption, std::string& error);
  bool Commit(std::string& error) { return file_.Commit(error); }

 private:
  OfflineHost* host_ = nullptr;
  OutputFile file_;
  int width_ = 0, height_ = 0;
  std::string pluginName_;
  std::unique_ptr<PlotRecorder> recorder_;
  double meters_[kMeters] = {};
};

// Each parameter's text as the plug-in shows it, in index order.
std::vector<std::string> ParameterTexts(OfflineHost& host);
// The parameters whose text differs from `defaults` (ParameterTexts of the
// fresh plug-in): "Process 4.5 · Sub Bass 3.0 dB · LF Cut 40 Hz", or
// "default settings".
std::string ChangedSettings(OfflineHost& host, const std::vector<std::string>& defaults);
// Beside the title: "Torvane · 48 kHz · 2-channel input · 5.00 s".
std::string PlotDetails(const std::string& pluginName, double sampleRate, int channels, uint64_t frames);

}  // namespace torvane
