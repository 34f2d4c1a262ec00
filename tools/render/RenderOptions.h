#pragma once

#include <string>
#include <vector>

#include "tools/common/ParameterSetting.h"

namespace torvane {

// The renderer's command line, parsed by ParseRenderOptions; main owns it.
struct RenderOptions {
  std::string plugin;
  std::string input;  // empty: the built-in bass riff; "-": standard input
  std::string output = "torvane-render.wav";  // "-": standard output
  std::string type;          // container chosen with --type; empty: from the output's extension
  std::string sampleFormat;  // 16, 24, 32 or float; empty: the container's default
  std::vector<ParameterSetting> settings;
  int blockSize = 512;
  bool doublePrecision = false;
  bool compensateLatency = true;
  double expectedRate = 0.0;  // 0: take the input's rate
  std::string loadState;
  std::string saveState;
  std::string plot;  // the picture of the meters and waveforms; empty: none
  int plotWidth = 1600, plotHeight = 900;
  bool quiet = false;
  bool help = false;
  bool version = false;
  bool listParameters = false;
};

// The exit codes documented in the help text.
constexpr int kExitSuccess = 0;
constexpr int kExitCommandLine = 1;
constexpr int kExitProcessing = 2;

// Parses argv; on a malformed command line returns false with the reason.
bool ParseRenderOptions(int argc, char** argv, const std::string& defaultPlugin, RenderOptions& options,
                        std::string& error);

const char* RenderUsage();

}  // namespace torvane
