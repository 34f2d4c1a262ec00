// torvane-render: renders audio through a VST 2.4 plug-in offline, the way a
// host's bounce does, and reports levels, latency and speed.
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>

#include "tools/render/AudioFile.h"
#include "tools/render/BassRiff.h"
#include "tools/render/OfflineHost.h"
#include "tools/render/RenderOptions.h"

namespace torvane {
namespace {
constexpr double kRiffRate = 48000.0;

int Fail(const std::string& message) {
  std::fprintf(stderr, "torvane-render: %s\n", message.c_str());
  return 1;
}

std::string Decibels(double linear) {
  if (linear <= 0.0) return "  -inf";
  char text[32];
  std::snprintf(text, sizeof text, "%6.1f", 20.0 * std::log10(linear));
  return text;
}

void PrintLevels(const char* what, const AudioBuffer& audio) {
  for (size_t c = 0; c < audio.channels.size(); ++c) {
    double peak = 0.0, sum = 0.0;
    for (double v : audio.channels[c]) {
      peak = std::max(peak, std::fabs(v));
      sum += v * v;
    }
    const double rms = audio.Frames() ? std::sqrt(sum / audio.Frames()) : 0.0;
    std::printf("  %-7s ch %zu  peak %s dBFS   RMS %s dBFS\n", what, c + 1, Decibels(peak).c_str(),
                Decibels(rms).c_str());
  }
}

// A progress bar on stderr, only when a person is watching it.
class ProgressBar {
 public:
  ProgressBar() : enabled_(isatty(STDERR_FILENO) != 0) {}
  void Update(double fraction) {
    if (!enabled_) return;
    const int width = 40, filled = static_cast<int>(fraction * width);
    if (filled == lastFilled_) return;
    lastFilled_ = filled;
    std::fprintf(stderr, "\r[%.*s%*s] %3d%%", filled, "########################################", width - filled, "",
                 static_cast<int>(fraction * 100));
    if (fraction >= 1.0) std::fprintf(stderr, "\n");
  }

 private:
  bool enabled_;
  int lastFilled_ = -1;
};
}  // namespace

int RunRender(int argc, char** argv) {
  RenderOptions options;
  std::string error;
  if (!ParseRenderOptions(argc, argv, TORVANE_DEFAULT_PLUGIN, options, error)) {
    std::fprintf(stderr, "torvane-render: %s\n\n%s", error.c_str(), RenderUsage());
    return 2;
  }
  if (options.help) {
    std::fputs(RenderUsage(), stdout);
    return 0;
  }

  AudioBuffer input;
  if (options.input.empty()) {
    input.sampleRate = options.expectedRate > 0 ? options.expectedRate : kRiffRate;
    input.channels.push_back(SynthesizeBassRiff(input.sampleRate));
  } else if (!ReadAudioFile(options.input, input, error)) {
    return Fail(error);
  } else if (options.expectedRate > 0 && input.sampleRate != options.expectedRate) {
    return Fail("sample-rate mismatch: " + options.input + " runs at " + std::to_string(int(input.sampleRate)) +
                " Hz, expected " + std::to_string(int(options.expectedRate)) + " Hz");
  }

  OfflineHost host;
  OfflineHost::Settings settings;
  settings.sampleRate = input.sampleRate;
  settings.blockSize = options.blockSize;
  settings.doublePrecision = options.doublePrecision;
  settings.compensateLatency = options.compensateLatency;
  if (!host.Open(options.plugin, settings)) return Fail(host.Error());
  if (!options.loadState.empty() && !host.LoadState(options.loadState)) return Fail(host.Error());
  for (const auto& value : options.values) {
    if (!host.SetParameterText(value.first, value.second)) return Fail(host.Error());
  }
  for (const auto& position : options.positions) {
    char* end = nullptr;
    const double p = std::strtod(position.second.c_str(), &end);
    if (position.second.empty() || *end != '\0') return Fail("the position of \"" + position.first + "\" is not a number");
    if (!host.SetParameterPosition(position.first, p)) return Fail(host.Error());
  }
  if (!options.saveState.empty() && !host.SaveState(options.saveState)) return Fail(host.Error());

  AudioBuffer output;
  ProgressBar progress;
  const auto start = std::chrono::steady_clock::now();
  if (!host.Render(input, output, [&](double fraction) { progress.Update(fraction); })) return Fail(host.Error());
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const int latency = host.Latency();
  if (!WriteFloatWav(options.output, output, error)) return Fail(error);

  const double audioSeconds = input.Frames() / input.sampleRate;
  std::printf("torvane-render: %s -> %s\n", options.input.empty() ? "built-in bass riff" : options.input.c_str(),
              options.output.c_str());
  std::printf("  plug-in  %s\n", options.plugin.c_str());
  std::printf("  audio    %zu in / %zu out channels, %.0f Hz, %.2f s, blocks of %d, %s precision\n",
              input.channels.size(), output.channels.size(), input.sampleRate, audioSeconds, options.blockSize,
              options.doublePrecision ? "double" : "single");
  std::printf("  latency  %d samples (%s)\n", latency, options.compensateLatency ? "compensated" : "kept in the output");
  PrintLevels("input", input);
  PrintLevels("output", output);
  std::printf("  real-time factor %.1fx (audio seconds per second of processing)\n",
              seconds > 0 ? audioSeconds / seconds : 0.0);
  return 0;
}

}  // namespace torvane

int main(int argc, char** argv) { return torvane::RunRender(argc, argv); }
