#include "tools/render/RenderOptions.h"

#include "tools/render/PlotLayout.h"

#include <getopt.h>

#include <cmath>
#include <cstdlib>

namespace torvane {

namespace {
enum LongOnly { kPosition = 1000, kDouble, kNoLatency, kRate, kLoadState, kSaveState, kListParams, kPlot, kPlotSize };

bool SplitAssignment(const char* text, ParameterSetting& out) {
  const std::string s(text);
  const size_t equals = s.find('=');
  if (equals == std::string::npos || equals == 0) return false;
  out.name = s.substr(0, equals);
  out.value = s.substr(equals + 1);
  return true;
}

bool TakeInput(const char* argument, RenderOptions& options, std::string& error) {
  if (*argument == '\0') {
    error = "the input name is empty";
    return false;
  }
  if (!options.input.empty()) {
    error = std::string("unexpected argument \"") + argument + "\": give one input at most";
    return false;
  }
  options.input = argument;
  return true;
}

bool ParseNumber(const char* text, double& value) {
  char* end = nullptr;
  value = std::strtod(text, &end);
  return *text && end && *end == '\0' && std::isfinite(value);
}

// WIDTHxHEIGHT in pixels, both whole numbers inside the plot's limits.
bool ParsePlotSize(const char* text, RenderOptions& options, std::string& error) {
  const std::string size(text);
  const size_t cross = size.find_first_of("xX");
  auto whole = [](const std::string& digits, int& value) {
    if (digits.empty() || digits.size() > 6 || digits.find_first_not_of("0123456789") != std::string::npos) {
      return false;
    }
    value = std::stoi(digits);
    return true;
  };
  int width = 0, height = 0;
  if (cross == std::string::npos || !whole(size.substr(0, cross), width) || !whole(size.substr(cross + 1), height) ||
      width < PlotLayout::kMinWidth || width > PlotLayout::kMaxWidth || height < PlotLayout::kMinHeight ||
      height > PlotLayout::kMaxHeight) {
    error = "the plot size must be WIDTHxHEIGHT in pixels, from " + std::to_string(PlotLayout::kMinWidth) + "x" +
            std::to_string(PlotLayout::kMinHeight) + " to " + std::to_string(PlotLayout::kMaxWidth) + "x" +
            std::to_string(PlotLayout::kMaxHeight) + ", got \"" + size + "\"";
    return false;
  }
  options.plotWidth = width;
  options.plotHeight = height;
  return true;
}
}  // namespace

const char* RenderUsage() {
  return "usage: torvane-render [options] [INPUT]\n"
         "Renders audio through a VST 2.4 plug-in, block by block as a host's offline bounce does.\n"
         "INPUT is any file libsndfile reads (WAV, FLAC, OGG, AIFF, ...), or \"-\" for standard input\n"
         "(any of them but FLAC, which libsndfile reads from named files only); without INPUT a\n"
         "built-in bass riff is rendered.\n"
         "\n"
         "Output:\n"
         "  -o, --output FILE         output file, \"-\" for standard output (default torvane-render.wav);\n"
         "                            an existing file is replaced only once the render has succeeded\n"
         "  -t, --type TYPE           wav, flac, ogg, opus, aiff, caf, w64 or au (default: from the\n"
         "                            output's extension; WAV for standard output or no extension)\n"
         "  -e, --sample-format FMT   16, 24 or 32 (integer) or float (default float; FLAC 24;\n"
         "                            OGG and Opus are lossy and take none)\n"
         "\n"
         "Plug-in and parameters:\n"
         "  -p, --plugin LIBRARY      plug-in library (default: the Torvane built with this tool)\n"
         "  -s, --set NAME=VALUE      a parameter in its own units, with or without the unit\n"
         "                            (\"Sub Bass=4\", \"Output=-3 dB\"); a choice or switch by its text\n"
         "                            in any letter case (\"Channel=stereo\", \"Transients=on\"), by its\n"
         "                            number (\"Channel=1\"), or, where the choices are values, by the\n"
         "                            value (\"LF Cut=50\" or \"LF Cut=50 Hz\")\n"
         "      --position NAME=POS   a parameter as a position from 0 to 1\n"
         "                            (--set and --position apply in the order given)\n"
         "      --list-params         list the plug-in's parameters: range, unit, default, choices\n"
         "      --load-state FILE     restore the plug-in's state from a state file first\n"
         "      --save-state FILE     save the plug-in's state, parameters applied, to a state file\n"
         "\n"
         "Plot:\n"
         "      --plot FILE           also draw a PNG picture of the render: the input and output\n"
         "                            waveforms and, for Torvane, the gain of each band's leveling\n"
         "                            and of the limiter over time (other plug-ins: waveforms only)\n"
         "      --plot-size WxH       the picture's size in pixels (default 1600x900; 480x320 to\n"
         "                            7680x4320)\n"
         "\n"
         "Processing:\n"
         "  -b, --block FRAMES        frames per processing call (default 512)\n"
         "      --double              process in double precision\n"
         "      --rate HZ             the sample rate expected of the input (and of the built-in riff)\n"
         "      --no-latency-compensation  keep the plug-in's delay in the output\n"
         "\n"
         "A two-channel input is processed in stereo (Channel=Stereo) unless Channel is set\n"
         "on the command line or by --load-state.\n"
         "\n"
         "  -q, --quiet               no report and no progress bar; errors are still shown\n"
         "  -V, --version             the renderer's version\n"
         "  -h, --help                this text\n"
         "\n"
         "The report and the progress bar go to standard error.\n"
         "Exit status: 0 success, 1 a problem with the command line, 2 an error during processing.\n";
}

bool ParseRenderOptions(int argc, char** argv, const std::string& defaultPlugin, RenderOptions& options,
                        std::string& error) {
  static const option kOptions[] = {
      {"output", required_argument, nullptr, 'o'},
      {"type", required_argument, nullptr, 't'},
      {"sample-format", required_argument, nullptr, 'e'},
      {"plugin", required_argument, nullptr, 'p'},
      {"set", required_argument, nullptr, 's'},
      {"position", required_argument, nullptr, kPosition},
      {"list-params", no_argument, nullptr, kListParams},
      {"block", required_argument, nullptr, 'b'},
      {"double", no_argument, nullptr, kDouble},
      {"rate", required_argument, nullptr, kRate},
      {"load-state", required_argument, nullptr, kLoadState},
      {"save-state", required_argument, nullptr, kSaveState},
      {"plot", required_argument, nullptr, kPlot},
      {"plot-size", required_argument, nullptr, kPlotSize},
      {"no-latency-compensation", no_argument, nullptr, kNoLatency},
      {"quiet", no_argument, nullptr, 'q'},
      {"version", no_argument, nullptr, 'V'},
      {"help", no_argument, nullptr, 'h'},
      {nullptr, 0, nullptr, 0},
  };
  options.plugin = defaultPlugin;
  bool plotSized = false;
  optind = 1;
  opterr = 0;
  // The leading "-" hands every non-option argument over in place, so that a
  // second input is caught wherever it stands.
  for (int c; (c = getopt_long(argc, argv, "-o:t:e:p:s:b:qVh", kOptions, nullptr)) != -1;) {
    ParameterSetting setting;
    double number = 0.0;
    switch (c) {
      case 1:
        if (!TakeInput(optarg, options, error)) return false;
        break;
      case 'o': options.output = optarg; break;
      case 't': options.type = optarg; break;
      case 'e': options.sampleFormat = optarg; break;
      case 'p': options.plugin = optarg; break;
      case 's':
      case kPosition:
        if (!SplitAssignment(optarg, setting)) {
          error = std::string("expected NAME=VALUE, got \"") + optarg + "\"";
          return false;
        }
        setting.isPosition = c == kPosition;
        options.settings.push_back(setting);
        break;
      case kListParams: options.listParameters = true; break;
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
        if (!ParseNumber(optarg, number) || number < 1000 || number > 768000 || number != std::floor(number)) {
          error = std::string("the sample rate must be a whole number of hertz from 1000 to 768000, got \"") +
                  optarg + "\"";
          return false;
        }
        options.expectedRate = number;
        break;
      case kLoadState: options.loadState = optarg; break;
      case kSaveState: options.saveState = optarg; break;
      case kPlot:
        if (*optarg == '\0') {
          error = "the plot's file name is empty";
          return false;
        }
        options.plot = optarg;
        break;
      case kPlotSize:
        if (!ParsePlotSize(optarg, options, error)) return false;
        plotSized = true;
        break;
      case 'q': options.quiet = true; break;
      case 'V': options.version = true; break;
      case 'h': options.help = true; break;
      default:
        error = "unknown or incomplete option " + std::string(argv[optind - 1]);
        return false;
    }
  }
  // Whatever follows "--" is an input too.
  for (; optind < argc; ++optind) {
    if (!TakeInput(argv[optind], options, error)) return false;
  }
  if (plotSized && options.plot.empty()) {
    error = "--plot-size sizes the picture of --plot: give --plot FILE too";
    return false;
  }
  return true;
}

}  // namespace torvane
