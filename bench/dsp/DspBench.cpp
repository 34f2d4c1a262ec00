#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "dsp/ChannelProcessor.h"
#include "dsp/LookaheadLimiter.h"
#include "dsp/StereoChain.h"
#include "PlainChain.h"

namespace torvane {

// Cost of the effect's signal path per frame, fed with a bass-like signal so
// that envelopes, gates and the dirt drive all move as they would in use: the
// chain's kernel for every instruction set this CPU has, then its parts.
// After the run a table gives each kernel's time per frame and its speed-up
// over the same arithmetic written out plainly, all measured in the same run.

namespace {

constexpr double kSampleRate = 48000;
constexpr int kBlock = 512;

// One second of plucked notes walking through a bass line: each note a
// decaying fundamental with two overtones, over a little noise. The right
// channel plays the line a fifth higher.
std::vector<double> BassLine(double transpose = 1.0) {
  const double pi = 3.141592653589793;
  const double notes[] = {41.2, 55.0, 61.7, 73.4, 49.0, 82.4};
  const int noteFrames = static_cast<int>(kSampleRate / 6);
  std::vector<double> out(static_cast<size_t>(kSampleRate));
  uint32_t noise = 12345;
  for (size_t n = 0; n < out.size(); ++n) {
    const double hz = notes[(n / noteFrames) % 6] * transpose;
    const double t = (n % noteFrames) / kSampleRate;
    const double tone = std::sin(2 * pi * hz * t) + 0.5 * std::sin(4 * pi * hz * t) +
                        0.2 * std::sin(6 * pi * hz * t);
    noise = noise * 1664525u + 1013904223u;
    out[n] = 0.4 * tone * std::exp(-5 * t) + 0.002 * (noise / 4294967296.0 - 0.5);
  }
  return out;
}

// Fullness below 0 puts the 300 Hz cut in the path too.
constexpr double kTones[] = {1.5, 0.8, -0.5, -3, 0.4, -1, -1.5};
constexpr double kLfCutHz = 30;
constexpr double kOutputFactor = 1.41;

void Configure(ChannelProcessor& p, double dirt) {
  p.Reset(kSampleRate);
  p.SetupBands(0.5, 0);
  for (int b = 0; b < ChannelProcessor::kBands; ++b) p.SetTone(b, kTones[b]);
  p.SetLfCut(kLfCutHz);
  p.SetDirt(dirt);
}

ChannelProcessor Channel(double dirt) {
  ChannelProcessor p;
  Configure(p, dirt);
  return p;
}

void ReportPerFrame(benchmark::State& state, size_t framesPerIteration) {
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * framesPerIteration));
  // Seconds per frame, shown with its unit prefix (e.g. "35n" for 35 ns).
  state.counters["per_frame"] = benchmark::Counter(
      static_cast<double>(framesPerIteration),
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// The chain as its kernels run it, each kernel called directly (the chain
// itself picks one per CPU), Process 5, in blocks of kBlock frames.
// range(0): the SimdPath; range(1): 1 for stereo; range(2): "Dirt" in percent.
void Kernel(benchmark::State& state) {
  const SimdPath path = kSimdPaths[state.range(0)];
  const bool stereo = state.range(1) != 0;
  const double dirt = state.range(2) / 100.0;
  if (!IsSimdPathSupported(path)) {
    state.SkipWithError("this CPU lacks the instruction set");
    return;
  }
  const StereoChain::Kernel kernels[] = {simd::RunScalar, simd::RunSse2, simd::RunAvx2, simd::RunAvx512};
  const StereoChain::Kernel kernel = kernels[state.range(0)];
  ChannelProcessor left = Channel(dirt), right = Channel(dirt);
  LookaheadLimiter limiter;
  limiter.Reset(kSampleRate);
  limiter.Setup(0.5, 0);
  const std::vector<double> inLeft = BassLine(), inRight = BassLine(1.5);
  std::vector<double> outLeft(inLeft.size()), outRight(inLeft.size());
  for (auto _ : state) {
    for (size_t start = 0; start < inLeft.size(); start += kBlock) {
      const double* inputs[] = {inLeft.data() + start, inRight.data() + start};
      double* outputs[] = {outLeft.data() + start, outRight.data() + start};
      const int frames = static_cast<int>(std::min<size_t>(kBlock, inLeft.size() - start));
      kernel(left, right, limiter, {inputs, outputs, frames, 1.0, kOutputFactor, stereo});
    }
    benchmark::DoNotOptimize(outLeft.data());
    benchmark::DoNotOptimize(outRight.data());
  }
  ReportPerFrame(state, inLeft.size());
  state.SetLabel(std::string(SimdPathName(path)) + (stereo ? " stereo" : " mono") + (dirt > 0 ? " dirt" : ""));
}

void KernelArguments(benchmark::internal::Benchmark* b) {
  b->ArgNames({"path", "stereo", "dirt_percent"});
  for (int stereo : {1, 0}) {
    for (int dirt : {0, 50}) {
      for (int path = 0; path < static_cast<int>(std::size(kSimdPaths)); ++path) b->Args({path, stereo, dirt});
    }
  }
}
BENCHMARK(Kernel)->Apply(KernelArguments)->Unit(benchmark::kMicrosecond);

// The same arithmetic written out plainly (PlainChain), the measure of the
// kernels' speed-up. Its output is checked against the scalar kernel's first.
void Plain(benchmark::State& state) {
  const bool stereo = state.range(0) != 0;
  const double dirt = state.range(1) / 100.0;
  const std::vector<double> inLeft = BassLine(), inRight = BassLine(1.5);
  const int frames = static_cast<int>(inLeft.size());
  std::vector<double> outLeft(inLeft.size()), outRight(inLeft.size());
  {
    ChannelProcessor left = Channel(dirt), right = Channel(dirt);
    LookaheadLimiter limiter;
    limiter.Reset(kSampleRate);
    limiter.Setup(0.5, 0);
    std::vector<double> expectLeft(inLeft.size()), expectRight(inLeft.size());
    const double* inputs[] = {inLeft.data(), inRight.data()};
    double* outputs[] = {expectLeft.data(), expectRight.data()};
    simd::RunScalar(left, right, limiter, {inputs, outputs, frames, 1.0, kOutputFactor, stereo});
    PlainChain plain(left, kSampleRate, kTones[ChannelProcessor::kFullnessBand], dirt, kLfCutHz);
    plain.Process(inLeft.data(), inRight.data(), outLeft.data(), outRight.data(), frames, 1.0, kOutputFactor, stereo);
    if (outLeft != expectLeft || outRight != expectRight) {
      state.SkipWithError("the plain chain's output differs from the kernels'");
      return;
    }
  }
  ChannelProcessor configured = Channel(dirt);
  PlainChain plain(configured, kSampleRate, kTones[ChannelProcessor::kFullnessBand], dirt, kLfCutHz);
  for (auto _ : state) {
    for (int start = 0; start < frames; start += kBlock) {
      const int n = std::min(kBlock, frames - start);
      plain.Process(inLeft.data() + start, inRight.data() + start, outLeft.data() + start, outRight.data() + start, n,
                    1.0, kOutputFactor, stereo);
    }
    benchmark::DoNotOptimize(outLeft.data());
    benchmark::DoNotOptimize(outRight.data());
  }
  ReportPerFrame(state, inLeft.size());
  state.SetLabel(std::string("plain") + (stereo ? " stereo" : " mono") + (dirt > 0 ? " dirt" : ""));
}
BENCHMARK(Plain)
    ->ArgNames({"stereo", "dirt_percent"})
    ->Args({1, 0})
    ->Args({1, 50})
    ->Args({0, 0})
    ->Args({0, 50})
    ->Unit(benchmark::kMicrosecond);

void ChannelProcessorMono(benchmark::State& state) {
  const std::vector<double> input = BassLine();
  ChannelProcessor channel = Channel(state.range(0) / 100.0);
  for (auto _ : state) {
    double sum = 0;
    for (double x : input) sum += channel.ProcessSample(x);
    benchmark::DoNotOptimize(sum);
  }
  ReportPerFrame(state, input.size());
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
  ReportPerFrame(state, input.size());
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
  ReportPerFrame(state, input.size());
}
BENCHMARK(LimiterMono)->Unit(benchmark::kMicrosecond);

// The console output plus, at the end, each kernel's time per frame and its
// speed-up over the plain chain of the same setting (the median when
// repetitions are asked for).
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      const bool aggregate = run.run_type == Run::RT_Aggregate;
      const std::string name = run.benchmark_name();
      if (run.error_occurred || (name.rfind("Kernel/", 0) != 0 && name.rfind("Plain/", 0) != 0)) continue;
      if (aggregate && run.aggregate_name != "median") continue;
      const auto perFrame = run.counters.find("per_frame");
      if (perFrame == run.counters.end()) continue;
      // Medians replace the single repetitions they summarise.
      Entry& entry = entries_[run.report_label];
      if (aggregate || !entry.fromAggregate) entry = {perFrame->second.value * 1e9, aggregate};
    }
  }

  void Finalize() override {
    ConsoleReporter::Finalize();
    std::printf("\n%-28s %12s %10s\n", "signal path", "ns/frame", "x plain");
    for (const auto& [label, entry] : entries_) {
      const std::string setting = label.substr(label.find(' '));
      const auto plain = entries_.find("plain" + setting);
      const double ratio = plain == entries_.end() ? 0.0 : plain->second.ns / entry.ns;
      std::printf("%-28s %12.2f %10.2f\n", label.c_str(), entry.ns, ratio);
    }
  }

 private:
  struct Entry {
    double ns = 0.0;
    bool fromAggregate = false;
  };
  std::map<std::string, Entry> entries_;
};

}  // namespace

}  // namespace torvane

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  torvane::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
