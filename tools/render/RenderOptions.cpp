#include "tools/render/RenderOptions.h"

#include <getopt.h>

#include <cmath>
#include <cstdlib>

namespace torvane {

namespace {
enum LongOnly { kPosition = 1000, kDouble, kNoLatency, kRate, kLoadState, kSaveState };

bool SplitAssignment(const char* text, std::pair<std::string, std::string>& out) {
  const std::string s(text);
  const size_t equals = s.find('=');
  if (equals == std::string::npos || equals == 0) return false;
  out = {s.substr(0, equals), s.substr(equals + 1)};
  return true;
}

bool ParseNumber(const char* text, double& value) {
  char* end = nullptr;
  value = std::strtod(text, &end);
  return *text && end && *end == '\0' && std::isfinite(value);
}
}  // namespace

const char* RenderUsage() {
  return "usage: torvane-render [options] [INPUT]\n"
         "Renders an audio file (WAV, FLAC, AIFF, ...; without one, a built-in bass riff)\n"
         "through a VST 2.4 plug-in and writes a 32-bit float WAV.\n"
         "  -o, --output FILE         output file (default torvane-render.wav)\n"
         "  -p, --plugin LIBRARY      plug-in library (default: the Torvane built with this tool)\n"
         "  -s, --set NAME=VALUE      a parameter in its own units, e.g. \"Sub Bass=4\" or \"LF Cut=50 Hz\"\n"
         "      --position NAME=POS   a parameter as a position from 0 to 1\n"
         "  -b, --block FRAMES        frames per processing call (default 512)\n"
         "      --double              process in double precision\n"
         "      --rate HZ             the sample rate expected of the input (and of the built-in riff)\n"
         "      --load-state FILE     restore the plug-in's state from a program chunk file first\n"
         "      --save-state FILE     save the plug-in's state, parameters applied, as a program chunk file\n"
         "      --no-latency-compensation  keep the plug-in's delay in the output\n"
         "  -h, --help                this text\n";
}

bool ParseRenderOptions(int argc, char** argv, const std::string& defaultPlugin, RenderOptions& options,
                        std::string& error) {
  static const option kOptions[] = {
      {"output", required_argument, nullptr, 'o'},    {"plugin", required_argument, nullptr, 'p'},
      {"set", required_argument, nullptr, 's'},       {"position", required_argument, nullptr, kPosition},
      {"block", required_argument, nullptr, 'b'},     {"double", no_argument, nullptr, kDouble},
      {"rate", required_argument, nullptr, kRate},    {"load-state", required_argument, nullptr, kLoadState},
      {"save-state", required_argument, nullptr, kSaveState},
      {"no-latency-compensation", no_argument, nullptr, kNoLatency},
      {"help", no_argument, nullptr, 'h'},            {nullptr, 0, nullptr, 0},
  };
  options.plugin = defaultPlugin;
  optind = 1;
  opterr = 0;
  for (int c; (c = getopt_long(argc, argv, "o:p:s:b:h", kOptions, nullptr)) != -1;) {
    std::pair<std::string, std::string> assignment;
    double number = 0.0;
    switch (c) {
      case 'o': options.output = optarg; break;
      case 'p': options.plugin = optarg; break;
      case 's':
      case kPosition:
        if (!SplitAssignment(optarg, assignment)) {
          error = std::string("expected NAME=VALUE, got \"") + optarg + "\"";
          return false;
        }
        (c == 's' ? options.values : options.positions).push_back(assignment);
        break;
      case 'b':
        if (!ParseNumber(optarg, number) || number < 1 || number > 65536 || number != std::floor(number)) {
          error = std::string("the block size must be a whole number from 1 to 65536, got \"") + optarg + "\"";
          return false;
        }
        options.blockSize = static_cast<int>(number);
        break;
      case kDouble: options.doublePrecision = true; break;
      case kNoLatency: options.compensateLatency = false; break;
      case kRate:
        if (!ParseNumber(optarg, number) || number < 1000 || number > 768000) {
          error = std::string("the sample rate must be a number of hertz, got \"") + optarg + "\"";
          return false;
        }
        options.expectedRate = number;
        break;
      case kLoadState: options.loadState = optarg; break;
      case kSaveState: options.saveState = optarg; break;
      case 'h': options.help = true; break;
      default:
        error = "unknown or incomplete option " + std::string(argv[optind - 1]);
        return false;
    }
  }
  if (optind < argc) options.input = argv[optind++];
  if (optind < argc) {
    error = std::string("unexpected argument \"") + argv[optind] + "\"";
    return false;
  }
  return true;
}

}  // namespace torvane
