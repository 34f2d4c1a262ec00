#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "dsp/ChannelProcessor.h"
#include "dsp/LookaheadLimiter.h"

namespace torvane {

// Per-sample cost of the effect's channel chain and limiter, fed with a
// bass-like signal so that envelopes, gates and the dirt drive all move as
// they would in use.

namespace {

constexpr double kSampleRate = 48000;

// One second of plucked notes walking through a bass line: each note a
// decaying fundamental with two overtones, over a little noise.
std::vector<double> BassLine() {
  const double pi = 3.141592653589793;
  const double notes[] = {41.2, 55.0, 61.7, 73.4, 49.0, 82.4};
  const int noteFrames = static_cast<int>(kSampleRate / 6);
  std::vector<double> out(static_cast<size_t>(kSampleRate));
  uint32_t noise = 12345;
  for (size_t n = 0; n < out.size(); ++n) {
    const double hz = notes[(n / noteFrames) % 6];
    const double t = (n % noteFrames) / kSampleRate;
    const double tone = std::sin(2 * pi * hz * t) + 0.5 * std::sin(4 * pi * hz * t) +
                        0.2 * std::sin(6 * pi * hz * t);
    noise = noise * 1664525u + 1013904223u;
    out[n] = 0.4 * tone * std::exp(-5 * t) + 0.002 * (noise / 4294967296.0 - 0.5);
  }
  return out;
}

ChannelProcessor Channel(double dirt) {
  ChannelProcessor p;
  p.Reset(kSampleRate);
  p.SetupBands(0.5, 0);
  // Fullness below 0 puts the 300 Hz cut in the path too.
  const double tones[] = {1.5, 0.8, -0.5, -3, 0.4, -1, -1.5};
  for (int b = 0; b < ChannelProcessor::kBands; ++b) p.SetTone(b, tones[b]);
  p.SetLfCut(30);
  p.SetDirt(dirt);
  return p;
}

void ReportPerSample(benchmark::State& state, size_t framesPerIteration) {
  const int64_t frames = static_cast<int64_t>(state.iterations() * framesPerIteration);
  state.SetItemsProcessed(frames);
  // Seconds per sample, shown with its unit prefix (e.g. "35n" for 35 ns).
  state.counters["per_sample"] = benchmark::Counter(
      static_cast<double>(framesPerIteration),
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void ChannelProcessorMono(benchmark::State& state) {
  const std::vector<double> input = BassLine();
  ChannelProcessor channel = Channel(state.range(0) / 100.0);
  for (auto _ : state) {
    double sum = 0;
    for (double x : input) sum += channel.ProcessSample(x);
    benchmark::DoNotOptimize(sum);
  }
  ReportPerSample(state, input.size());
}
BENCHMARK(ChannelProcessorMono)->ArgName("dirt_percent")->Arg(0)->Arg(30)->Unit(benchmark::kMicrosecond);

void LimiterStereo(benchmark::State& state) {
  const std::vector<double> input = BassLine();
  LookaheadLimiter limiter;
  limiter.Reset(kSampleRate);
  limiter.Setup(0.5, 0);
  for (auto _ : state) {
    double sum = 0;
    for (size_t n = 0; n < input.size(); ++n) {
      limiter.ProcessStereo(input[n], input[input.size() - 1 - n]);
      sum += limiter.OutLeft() + limiter.OutRight();
    }
    benchmark::DoNotOptimize(sum);
  }
  ReportPerSample(state, input.size());
}
BENCHMARK(LimiterStereo)->Unit(benchmark::kMicrosecond);

void LimiterMono(benchmark::State& state) {
  const std::vector<double> input = BassLine();
  LookaheadLimiter limiter;
  limiter.Reset(kSampleRate);
  limiter.Setup(0.5, 0);
  for (auto _ : state) {
    double sum = 0;
    for (double x : input) {
      limiter.ProcessMono(x);
      sum += limiter.OutLeft();
    }
    benchmark::DoNotOptimize(sum);
  }
  ReportPerSample(state, input.size());
}
BENCHMARK(LimiterMono)->Unit(benchmark::kMicrosecond);

}  // namespace

}  // namespace torvane
