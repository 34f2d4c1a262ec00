#pragma once

#include <string>
#include <utility>
#include <vector>

namespace torvane {

// The renderer's command line.
struct RenderOptions {
  std::string plugin;
  std::string input;  // empty: the built-in bass riff
  std::string output = "torvane-render.wav";
  std::vector<std::pair<std::string, std::string>> values;      // NAME=VALUE in the parameter's units
  std::vector<std::pair<std::string, std::string>> positions;   // NAME=POSITION, 0..1
  int blockSize = 512;
  bool doublePrecision = false;
  bool compensateLatency = true;
  double expectedRate = 0.0;  // 0: take the input's rate
  std::string loadState;
  std::string saveState;
  bool help = false;
};

// Parses argv; on a malformed command line returns false with the reason.
bool ParseRenderOptions(int argc, char** argv, const std::string& defaultPlugin, RenderOptions& options,
                        std::string& error);

const char* RenderUsage();

}  // namespace torvane
