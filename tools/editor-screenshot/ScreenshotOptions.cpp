#include "tools/editor-screenshot/ScreenshotOptions.h"

#include <cmath>
#include <cstdlib>
#include <sstream>

namespace torvane {

namespace {

constexpr int kMeters = 8;
constexpr double kMeterRangeDb = 20.0;

bool ParseNumber(const std::string& text, double& number) {
  char* end = nullptr;
  number = std::strtod(text.c_str(), &end);
  return !text.empty() && *end == '\0' && std::isfinite(number);
}

bool ParseSetting(const std::string& text, bool isPosition, ParameterSetting& setting, std::string& error) {
  const size_t equals = text.find('=');
  if (equals == std::string::npos || equals == 0) {
    error = "\"" + text + "\" is not NAME=VALUE";
    return false;
  }
  setting = {isPosition, text.substr(0, equals), text.substr(equals + 1)};
  return true;
}

bool ParseMeters(const std::string& text, std::vector<double>& meters, std::string& error) {
  std::stringstream list(text);
  std::string item;
  while (std::getline(list, item, ',')) {
    double db = 0.0;
    if (!ParseNumber(item, db) || std::fabs(db) > kMeterRangeDb) {
      error = "meter readings are decibels from -20 to 20, not \"" + item + "\"";
      return false;
    }
    meters.push_back(db);
  }
  if (meters.size() != static_cast<size_t>(kMeters)) {
    error = "--meters takes eight readings, one per meter";
    return false;
  }
  return true;
}

}  // namespace

bool ParseScreenshotOptions(int argc, char** argv, ScreenshotOptions& options, std::string& error) {
  options = ScreenshotOptions();
  for (int i = 1; i < argc; ++i) {
    std::string option = argv[i];
    if (option == "-h" || option == "--help") {
      options.help = true;
      return true;
    }
    // --name=value, or the value as the next argument.
    std::string value;
    const size_t equals = option.find('=');
    if (option.rfind("--", 0) == 0 && equals != std::string::npos) {
      value = option.substr(equals + 1);
      option.erase(equals);
    } else if (i + 1 < argc) {
      value = argv[++i];
    } else {
      error = option.rfind('-', 0) == 0 ? option + " needs a value" : "unexpected argument \"" + option + "\"";
      return false;
    }
    if (option == "-o" || option == "--output") {
      options.output = value;
    } else if (option == "--scale") {
      if (!ParseNumber(value, options.scale) || options.scale <= 0.0) {
        error = "--scale takes a number above 0, not \"" + value + "\"";
        return false;
      }
    } else if (option == "-s" || option == "--set" || option == "-p" || option == "--position") {
      ParameterSetting setting;
      if (!ParseSetting(value, option == "-p" || option == "--position", setting, error)) return false;
      options.settings.push_back(setting);
    } else if (option == "--load-state") {
      options.loadState = value;
    } else if (option == "--meters") {
      if (!ParseMeters(value, options.meterDecibels, error)) return false;
    } else {
      error = "unknown option \"" + option + "\"";
      return false;
    }
  }
  if (options.output.empty()) {
    error = "name the PNG to write with -o FILE";
    return false;
  }
  return true;
}

const char* ScreenshotUsage() {
  return "usage: torvane-editor-screenshot [options] -o FILE.png\n"
         "\n"
         "Draws Torvane's editor off-screen, as its window shows it, and writes it as a PNG.\n"
         "No window is opened and the user's editor settings are left alone.\n"
         "\n"
         "  -o, --output FILE        the PNG to write\n"
         "      --scale S            the editor's scale, as its settings file would give it (default 1;\n"
         "                           the editor's corner handle drags between 1 and 3)\n"
         "      --load-state FILE    a state saved by a host or by torvane-render --save-state,\n"
         "                           applied first (its editor size included)\n"
         "  -s, --set NAME=VALUE     a parameter by its text, number or unit, as torvane-render takes\n"
         "                           it: -s \"LF Cut=50 Hz\" -s Output=-2dB -s Channel=Stereo\n"
         "  -p, --position NAME=P    a parameter by its position from 0 to 1\n"
         "      --meters DB,...      the eight meters' readings in dB, -20 to 20 (default all 0):\n"
         "                           the seven bands' leveling gains, then the limiter's\n"
         "  -h, --help               this text\n"
         "\n"
         "Exit codes: 0 written, 1 command line, 2 the screenshot could not be made or written.\n";
}

}  // namespace torvane
