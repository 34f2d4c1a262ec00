// Cost of one processing block during a loud burst and after 30 s of silence
// that follows it, with and without flush-to-zero. Without it, filters and
// envelopes decaying in silence reach subnormal numbers, which x86 processors
// handle many times slower.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "effect/Torvane.h"
#include "tests/support/VstHosted.h"

namespace torvane {

namespace {
constexpr double kRate = 48000.0;
constexpr int kBlock = 512;

class Session {
 public:
  explicit Session(bool flushToZero) : flushToZero_(flushToZero) {
    AEffect* record = VstRecord(effect_);
    record->dispatcher(record, effSetSampleRate, 0, 0, nullptr, static_cast<float>(kRate));
    record->dispatcher(record, effSetBlockSize, 0, kBlock, nullptr, 0.0f);
    record->dispatcher(record, effOpen, 0, 0, nullptr, 0.0f);
    effect_.GetParameter(Torvane::kProcess)->SetClamped(6.0);
    effect_.OnParameterChange(Torvane::kProcess);
    effect_.GetParameter(Torvane::kChannel)->SetClamped(1.0);
    effect_.OnParameterChange(Torvane::kChannel);
    for (int i = 0; i < kBlock; ++i) burst_[i] = 0.8 * std::sin(2 * 3.141592653589793 * 55.0 * i / kRate);
  }

  // Through the processing entry (with the guard) or straight into the hook (without).
  void Block(bool loud) {
    double* in = loud ? burst_ : silence_;
    double* inputs[] = {in, in};
    double* outputs[] = {outLeft_, outRight_};
    if (flushToZero_) {
      effect_.ProcessDouble(inputs, outputs, kBlock);
    } else {
      effect_.ProcessBlock(inputs, outputs, kBlock);
    }
  }

 private:
  VstHosted<Torvane> effect_Hosted;
  Torvane& effect_ = effect_Hosted.effect;
  bool flushToZero_;
  double burst_[kBlock];
  double silence_[kBlock] = {};
  double outLeft_[kBlock];
  double outRight_[kBlock];
};

void BlockCost(benchmark::State& state) {
  const bool flushToZero = state.range(0) != 0;
  const bool afterSilence = state.range(1) != 0;
  Session session(flushToZero);
  for (int i = 0; i < static_cast<int>(2 * kRate / kBlock); ++i) session.Block(true);
  if (afterSilence) {
    for (int i = 0; i < static_cast<int>(30 * kRate / kBlock); ++i) session.Block(false);
  }
  for (auto _ : state) session.Block(!afterSilence);
  state.counters["ns_per_sample"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * kBlock,
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.SetLabel(std::string(flushToZero ? "flush-to-zero" : "no guard") +
                 (afterSilence ? ", 30 s after the burst" : ", during the burst"));
}
}  // namespace

BENCHMARK(BlockCost)->ArgsProduct({{1, 0}, {0, 1}})->Unit(benchmark::kMicrosecond);

}  // namespace torvane
