#include "tools/render/RenderReport.h"

#include <cmath>

namespace torvane {

namespace {
std::string Decibels(double linear) {
  if (linear <= 0.0) return "  -inf";
  if (std::isinf(linear)) return "  +inf";
  char text[32];
  std::snprintf(text, sizeof text, "%6.1f", 20.0 * std::log10(linear));
  return text;
}

std::string Channels(const LevelMeter& levels) {
  return std::to_string(levels.Channels()) + (levels.Channels() == 1 ? " channel" : " channels");
}

void PrintLevels(std::FILE* to, const char* what, const LevelMeter& levels) {
  for (int c = 0; c < levels.Channels(); ++c) {
    std::fprintf(to, "  %-7s ch %d  peak %s dBFS   RMS %s dBFS", what, c + 1, Decibels(levels.Peak(c)).c_str(),
                 Decibels(levels.Rms(c)).c_str());
    if (levels.NanSamples(c)) std::fprintf(to, "   %llu NaN left out", (unsigned long long)levels.NanSamples(c));
    if (levels.InfiniteSamples(c)) {
      std::fprintf(to, "   %llu infinite", (unsigned long long)levels.InfiniteSamples(c));
    }
    std::fputc('\n', to);
  }
}

void WarnNonFinite(std::FILE* to, const char* what, const LevelMeter& levels, const char* consequence) {
  uint64_t nan = 0, infinite = 0;
  for (int c = 0; c < levels.Channels(); ++c) {
    nan += levels.NanSamples(c);
    infinite += levels.InfiniteSamples(c);
  }
  if (nan + infinite == 0) return;
  std::fprintf(to, "  warning: the %s holds %llu samples that are not finite numbers (%llu NaN, %llu infinite)%s\n",
               what, (unsigned long long)(nan + infinite), (unsigned long long)nan, (unsigned long long)infinite,
               consequence);
}
}  // namespace

void RenderReport::Print(std::FILE* to) const {
  const double audioSeconds = sampleRate > 0 ? framesRead / sampleRate : 0.0;
  std::fprintf(to, "torvane-render: %s -> %s\n", inputName.c_str(), outputName.c_str());
  std::fprintf(to, "  plug-in  %s\n", plugin.c_str());
  std::fprintf(to, "  input    %s: %s, %.0f Hz, %.2f s\n", inputFormat.c_str(), Channels(input).c_str(),
               sampleRate, audioSeconds);
  std::fprintf(to, "  output   %s: %s, %.0f Hz, %.2f s\n", outputFormat.c_str(), Channels(output).c_str(),
               sampleRate, sampleRate > 0 ? framesWritten / sampleRate : 0.0);
  if (!channelMode.empty()) std::fprintf(to, "  channel  %s\n", channelMode.c_str());
  if (!channelNote.empty()) std::fprintf(to, "  note: %s\n", channelNote.c_str());
  std::fprintf(to, "  latency  %d samples (%s)\n", latency, latencyCompensated ? "compensated" : "kept in the output");
  std::fprintf(to, "  blocks   %d frames, %s precision\n", blockSize, doublePrecision ? "double" : "single");
  PrintLevels(to, "input", input);
  PrintLevels(to, "output", output);
  WarnNonFinite(to, "input", input, "; they went to the plug-in unchanged");
  WarnNonFinite(to, "output", output, "");
  if (clippedSamples) {
    std::fprintf(to, "  warning: %llu samples beyond full scale were clipped to fit %s; lower Output or choose "
                 "--sample-format float\n", (unsigned long long)clippedSamples, outputFormat.c_str());
  }
  if (!plotName.empty()) {
    std::fprintf(to, "  plot     %s (%d x %d)\n", plotName.c_str(), plotWidth, plotHeight);
    if (!plotNote.empty()) std::fprintf(to, "  note: %s\n", plotNote.c_str());
  }
  std::fprintf(to, "  real-time factor %.1fx (audio seconds per second of the whole job; the plug-in alone %.1fx)\n",
               seconds > 0 ? audioSeconds / seconds : 0.0, pluginSeconds > 0 ? audioSeconds / pluginSeconds : 0.0);
}

}  // namespace torvane
