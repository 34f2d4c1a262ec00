// torvane-render: renders audio through a VST 2.4 plug-in offline, the way a
// host's bounce does, and reports levels, latency and speed.
#include <sndfile.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <exception>
#include <iterator>
#include <memory>
#include <string>

#include "tools/render/BassRiffSource.h"
#include "tools/render/OfflineHost.h"
#include "tools/render/OutputFile.h"
#include "tools/render/OutputFormat.h"
#include "tools/render/ProgressBar.h"
#include "tools/render/RenderOptions.h"
#include "tools/render/RenderPlot.h"
#include "tools/render/RenderReport.h"
#include "tools/render/SoundFileReader.h"
#include "tools/render/SoundFileWriter.h"
#include "tools/render/StateFile.h"
#include "tools/render/StreamRenderer.h"

namespace torvane {
namespace {
constexpr double kDefaultRate = 48000.0;  // the riff's and --list-params' rate unless --rate says otherwise
constexpr const char* kChannelParameter = "Channel";
constexpr const char* kStereoChoice = "Stereo";

volatile std::sig_atomic_t interruption = 0;

void OnInterrupt(int signal) { interruption = signal; }

// Ctrl-C (or a termination request) stops the render between two blocks and
// removes the unfinished output; a second one ends the process at once.
void CatchSignals() {
  struct sigaction action = {};
  action.sa_handler = OnInterrupt;
  action.sa_flags = SA_RESTART | SA_RESETHAND;
  sigemptyset(&action.sa_mask);
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal, &action, nullptr);
  // A reader that goes away downstream becomes a write error with a message.
  std::signal(SIGPIPE, SIG_IGN);
}

int Fail(int code, const std::string& message) {
  std::fprintf(stderr, "torvane-render: %s\n", message.c_str());
  return code;
}

std::string InputName(const RenderOptions& options) {
  if (options.input.empty()) return "built-in bass riff";
  return options.input == "-" ? "standard input" : options.input;
}

// The plot's title: the input's file name without its folders.
std::string InputTitle(const RenderOptions& options) {
  const std::string name = InputName(options);
  if (options.input.empty() || options.input == "-") return name;
  const size_t slash = name.find_last_of('/');
  return slash == std::string::npos || slash + 1 == name.size() ? name : name.substr(slash + 1);
}

// Refuses outputs that would overwrite what the render reads or writes itself.
bool CheckDistinctFiles(const RenderOptions& options, std::string& error) {
  struct Pair {
    const std::string& written;
    const std::string& other;
    const char* message;
  };
  const Pair pairs[] = {
      {options.output, options.input, "the output is the input file"},
      {options.output, options.loadState, "the output is the state file given to --load-state"},
      {options.output, options.saveState, "the output is the state file given to --save-state"},
      {options.saveState, options.input, "the state file given to --save-state is the input file"},
      {options.plot, options.input, "the plot is the input file"},
      {options.plot, options.output, "the plot is the output file"},
      {options.plot, options.loadState, "the plot is the state file given to --load-state"},
      {options.plot, options.saveState, "the plot is the state file given to --save-state"},
  };
  for (const Pair& pair : pairs) {
    if (!pair.written.empty() && !pair.other.empty() && SameFile(pair.written, pair.other)) {
      error = std::string(pair.message) + "; give another name";
      return false;
    }
  }
  if (options.input == "-" && options.loadState == "-") {
    error = "the input and the state file cannot both come from standard input";
    return false;
  }
  const std::string* toStandardOutput[] = {&options.output, &options.saveState, &options.plot};
  if (std::count_if(std::begin(toStandardOutput), std::end(toStandardOutput),
                    [](const std::string* name) { return *name == "-"; }) > 1) {
    error = "only one of the output, the state file and the plot can go to standard output";
    return false;
  }
  return true;
}

int ListParameters(const RenderOptions& options) {
  OfflineHost host;
  OfflineHost::Settings settings;
  settings.sampleRate = options.expectedRate > 0 ? options.expectedRate : kDefaultRate;
  if (!host.Open(options.plugin, settings)) return Fail(kExitProcessing, host.Error());
  std::vector<ParameterInfo> parameters;
  for (int i = 0; i < host.NumParameters(); ++i) parameters.push_back(host.DescribeParameter(i));
  std::printf("Parameters of %s (%s):\n%s", host.EffectName().c_str(), options.plugin.c_str(),
              FormatParameterTable(parameters).c_str());
  return kExitSuccess;
}

// How the plug-in's Channel parameter got its value, for the report.
struct ChannelMode {
  int index = -1;  // -1: the plug-in has no such parameter
  bool setByUser = false;
  bool automatic = false;
};

// Applies the --set and --position settings in order. Names and values that
// do not fit the plug-in are command-line errors.
int ApplySettings(OfflineHost& host, const RenderOptions& options, ChannelMode& channel) {
  for (const ParameterSetting& setting : options.settings) {
    const int index = host.FindParameter(setting.name);
    if (index < 0) return Fail(kExitCommandLine, host.Error());
    channel.setByUser = channel.setByUser || index == channel.index;
    if (setting.isPosition) {
      char* end = nullptr;
      const double position = std::strtod(setting.value.c_str(), &end);
      if (setting.value.empty() || *end != '\0') {
        return Fail(kExitCommandLine, "the position of \"" + setting.name + "\" is not a number");
      }
      if (!host.SetParameterPosition(index, position)) return Fail(kExitCommandLine, host.Error());
      continue;
    }
    const ParameterInfo parameter = host.DescribeParameter(index);
    ParameterValue value;
    std::string error;
    if (!ParseParameterValue(parameter, setting.value, value, error)) return Fail(kExitCommandLine, error);
    if (!host.SetParameter(parameter, value)) return Fail(kExitProcessing, host.Error());
  }
  return kExitSuccess;
}

// A two-channel input is meant to be heard in stereo: unless the user chose
// the mode, on the command line or through a state file, take Stereo.
bool ChooseStereoForTwoChannels(OfflineHost& host, const RenderOptions& options, int inputChannels,
                                ChannelMode& channel) {
  if (channel.index < 0 || channel.setByUser || !options.loadState.empty() || inputChannels != 2) return true;
  const ParameterInfo parameter = host.DescribeParameter(channel.index);
  for (size_t i = 0; i < parameter.choices.size(); ++i) {
    if (!SameTextIgnoringCase(parameter.choices[i].text, kStereoChoice)) continue;
    ParameterValue value;
    value.choice = static_cast<int>(i);
    channel.automatic = true;
    return host.SetParameter(parameter, value);
  }
  return true;
}

// Restores the state file, applies the settings, and takes stereo for a
// two-channel input where the user left the mode open.
int ConfigurePlugin(OfflineHost& host, const RenderOptions& options, int inputChannels, ChannelMode& channel) {
  if (!options.loadState.empty()) {
    std::vector<char> state;
    std::string error;
    if (!ReadStateFile(options.loadState, state, error)) return Fail(kExitProcessing, error);
    const std::string stateName = options.loadState == "-" ? "standard input" : options.loadState;
    if (!host.SetState(state, stateName)) return Fail(kExitProcessing, host.Error());
  }
  for (int i = 0; i < host.NumParameters() && channel.index < 0; ++i) {
    if (SameTextIgnoringCase(host.ParameterName(i), kChannelParameter)) channel.index = i;
  }
  if (const int code = ApplySettings(host, options, channel)) return code;
  if (!ChooseStereoForTwoChannels(host, options, inputChannels, channel)) return Fail(kExitProcessing, host.Error());
  return kExitSuccess;
}

void DescribeChannelMode(OfflineHost& host, const RenderOptions& options, const ChannelMode& channel,
                         int inputChannels, RenderReport& report) {
  if (channel.index < 0) return;
  const std::string shown = host.ParameterDisplay(channel.index);
  const char* why = channel.automatic ? "chosen for the two-channel input"
                    : channel.setByUser ? "set on the command line"
                    : !options.loadState.empty() ? "from the state file"
                                                 : "the default";
  report.channelMode = shown + " (" + why + ")";
  if (inputChannels == 2 && !SameTextIgnoringCase(shown, kStereoChoice)) {
    report.channelNote = "Channel is " + shown + ": only the left input channel is processed";
  }
}

int RunRender(int argc, char** argv) {
  RenderOptions options;
  std::string error;
  if (!ParseRenderOptions(argc, argv, TORVANE_DEFAULT_PLUGIN, options, error)) {
    return Fail(kExitCommandLine, error + " (see torvane-render --help)");
  }
  if (options.help) {
    std::fputs(RenderUsage(), stdout);
    return kExitSuccess;
  }
  if (options.version) {
    std::printf("torvane-render %s (%s)\ndefault plug-in: %s\n", TORVANE_VERSION, sf_version_string(),
                TORVANE_DEFAULT_PLUGIN);
    return kExitSuccess;
  }
  if (options.listParameters) return ListParameters(options);

  OutputFormat format;
  if (!CheckDistinctFiles(options, error) ||
      !ChooseOutputFormat(options.output, options.type, options.sampleFormat, format, error)) {
    return Fail(kExitCommandLine, error);
  }
  if (options.input == "-" && isatty(STDIN_FILENO)) {
    return Fail(kExitCommandLine, "standard input is a terminal: pipe audio into it or give a file name");
  }

  std::unique_ptr<AudioSource> source;
  if (options.input.empty()) {
    source = std::make_unique<BassRiffSource>(options.expectedRate > 0 ? options.expectedRate : kDefaultRate);
  } else {
    auto reader = std::make_unique<SoundFileReader>();
    if (!reader->Open(options.input, error)) return Fail(kExitProcessing, error);
    source = std::move(reader);
  }
  const double rate = source->SampleRate();
  if (options.expectedRate > 0 && rate != options.expectedRate) {
    return Fail(kExitProcessing, "sample-rate mismatch: " + InputName(options) + " runs at " +
                                     std::to_string(static_cast<int>(rate)) + " Hz, expected " +
                                     std::to_string(static_cast<int>(options.expectedRate)) + " Hz");
  }

  OfflineHost host;
  OfflineHost::Settings settings;
  settings.sampleRate = rate;
  settings.blockSize = options.blockSize;
  settings.doublePrecision = options.doublePrecision;
  if (!host.Open(options.plugin, settings)) return Fail(kExitProcessing, host.Error());
  // The fresh plug-in's texts: the plot names the settings that differ from them.
  const std::vector<std::string> defaults = options.plot.empty() ? std::vector<std::string>() : ParameterTexts(host);
  ChannelMode channel;
  if (const int code = ConfigurePlugin(host, options, source->Channels(), channel)) return code;

  // Every output is opened before the work starts, so a bad path fails at once.
  CatchSignals();
  OutputFile stateFile;
  if (!options.saveState.empty()) {
    std::vector<char> state;
    if (!host.GetState(state)) return Fail(kExitProcessing, host.Error());
    if (!stateFile.Open(options.saveState, error) || !stateFile.Write(state.data(), state.size(), error)) {
      return Fail(kExitProcessing, error);
    }
  }
  OutputFile outputFile;
  SoundFileWriter writer;
  if (!outputFile.Open(options.output, error) ||
      !writer.Open(outputFile, format, host.NumOutputs(), static_cast<int>(rate), source->Frames(), error)) {
    return Fail(kExitProcessing, error);
  }

  RenderPlot plot;
  if (!options.plot.empty() && !plot.Open(options.plot, options.plotWidth, options.plotHeight, host, error)) {
    return Fail(kExitProcessing, error);
  }

  ProgressBar progress(!options.quiet, source->Frames(), rate);
  StreamRenderer renderer(host, options.blockSize, options.compensateLatency);
  StreamRenderer::Callbacks callbacks;
  callbacks.progress = [&progress](uint64_t frames) { progress.Update(frames); };
  callbacks.interrupted = [] { return interruption != 0; };
  if (!options.plot.empty()) callbacks.processed = [&plot](const RenderedBlock& block) { plot.Record(block); };
  const auto start = std::chrono::steady_clock::now();
  // The picture is drawn before anything is committed: every output of the
  // render takes its place, or none does.
  const auto drawPlot = [&] {
    PlotCaption caption;
    caption.name = InputTitle(options);
    caption.settings = ChangedSettings(host, defaults);
    caption.details = PlotDetails(host.EffectName(), rate, source->Channels(), renderer.FramesRead());
    caption.sampleRate = rate;
    caption.frames = renderer.FramesRead();
    return plot.Write(caption, error);
  };
  const bool rendered = renderer.Run(*source, writer, callbacks, error) && writer.Close(error) &&
                        (options.plot.empty() || drawPlot()) && outputFile.Commit(error) &&
                        (options.saveState.empty() || stateFile.Commit(error)) &&
                        (options.plot.empty() || plot.Commit(error));
  if (!rendered) {
    progress.Clear();
    return Fail(kExitProcessing, error);
  }
  progress.Finish();
  if (options.quiet) return kExitSuccess;

  RenderReport report;
  report.inputName = InputName(options);
  report.outputName = outputFile.Name();
  report.plugin = host.EffectName() + " (" + options.plugin + ")";
  report.inputFormat = source->Description();
  report.outputFormat = format.container + ", " + format.sampleText;
  report.sampleRate = rate;
  report.framesRead = renderer.FramesRead();
  report.framesWritten = renderer.FramesWritten();
  DescribeChannelMode(host, options, channel, source->Channels(), report);
  report.latency = host.Latency();
  report.latencyCompensated = options.compensateLatency;
  report.blockSize = options.blockSize;
  report.doublePrecision = options.doublePrecision;
  report.input = renderer.InputLevels();
  report.output = renderer.OutputLevels();
  report.clippedSamples = writer.ClippedSamples();
  report.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  report.pluginSeconds = host.PluginSeconds();
  if (!options.plot.empty()) {
    report.plotName = plot.Name();
    report.plotNote = plot.HasMeters() ? "" : plot.MissingMetersNote();
    report.plotWidth = options.plotWidth;
    report.plotHeight = options.plotHeight;
  }
  report.Print(stderr);
  return kExitSuccess;
}

}  // namespace
}  // namespace torvane

int main(int argc, char** argv) {
  // Nothing escapes as an abort: whatever goes wrong ends with a message.
  try {
    return torvane::RunRender(argc, argv);
  } catch (const std::exception& e) {
    return torvane::Fail(torvane::kExitProcessing, std::string("unexpected failure: ") + e.what());
  } catch (...) {
    return torvane::Fail(torvane::kExitProcessing, "unexpected failure");
  }
}
