#pragma once

#include <string>
#include <vector>

#include "tools/common/ParameterSetting.h"

namespace torvane {

// The screenshot tool's command line, parsed by ParseScreenshotOptions; main
// owns it. Parameter settings are applied in the order given, after the state
// file, so that a later one overrides an earlier one.
struct ScreenshotOptions {
  std::string output;
  double scale = 1.0;
  std::string loadState;
  std::vector<ParameterSetting> settings;
  std::vector<double> meterDecibels;  // one per meter, in meter order; empty: all at 0 dB
  bool help = false;
};

// Parses argv; on a malformed command line returns false with the reason.
bool ParseScreenshotOptions(int argc, char** argv, ScreenshotOptions& options, std::string& error);

const char* ScreenshotUsage();

}  // namespace torvane
