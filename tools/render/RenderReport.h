#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "tools/render/LevelMeter.h"

namespace torvane {

// What the renderer tells the user after a render: where the audio came from
// and went, the channel mode, latency, levels, any samples that were not
// finite or were clipped, and the speed. Filled by main, printed once.
struct RenderReport {
  std::string inputName, outputName;
  std::string plugin;          // "Torvane (/path/Torvane.so)"
  std::string inputFormat;     // "WAV (Microsoft), Signed 24 bit PCM"
  std::string outputFormat;    // "FLAC, 24-bit"
  double sampleRate = 0.0;
  uint64_t framesRead = 0, framesWritten = 0;
  std::string channelMode;     // empty when the plug-in has no Channel parameter
  std::string channelNote;     // a warning about the mode, or empty
  int latency = 0;
  bool latencyCompensated = true;
  int blockSize = 0;
  bool doublePrecision = false;
  LevelMeter input{0}, output{0};
  uint64_t clippedSamples = 0;
  double seconds = 0.0, pluginSeconds = 0.0;
  std::string plotName;  // empty without --plot
  std::string plotNote;  // why the plot shows less than the meters, or empty
  int plotWidth = 0, plotHeight = 0;

  void Print(std::FILE* to) const;
};

}  // namespace torvane
