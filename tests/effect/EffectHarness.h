#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "effect/Torvane.h"
#include "tests/support/VstHosted.h"

namespace torvane {

// Runs a Torvane instance in-process the way a host would: opened, at a given
// rate and block size, processing in double precision.
class EffectHarness {
 public:
  explicit EffectHarness(double sampleRate = 48000.0, int blockSize = 256) : blockSize_(blockSize) {
    Dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(sampleRate));
    Dispatch(effSetBlockSize, 0, blockSize);
    Dispatch(effOpen);
  }

  VstIntPtr Dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                     float opt = 0.0f) {
    AEffect* record = VstRecord(effect);
    return record->dispatcher(record, opcode, index, value, ptr, opt);
  }

  // Sets a parameter in its own units, as a state restore or typed entry does.
  void Set(int index, double value) {
    effect.GetParameter(index)->SetClamped(value);
    effect.OnParameterChange(index);
  }

  // Processes whole signals block by block; returns left and right outputs.
  void Process(const std::vector<double>& left, const std::vector<double>& right, std::vector<double>& outLeft,
               std::vector<double>& outRight) {
    const size_t frames = left.size();
    outLeft.assign(frames, 0.0);
    outRight.assign(frames, 0.0);
    for (size_t start = 0; start < frames; start += blockSize_) {
      const int n = static_cast<int>(std::min<size_t>(blockSize_, frames - start));
      const double* inputs[] = {left.data() + start, right.data() + start};
      double* outputs[] = {outLeft.data() + start, outRight.data() + start};
      effect.ProcessDouble(inputs, outputs, n);
    }
  }

  VstHosted<Torvane> effectHosted;
  Torvane& effect = effectHosted.effect;

 private:
  int blockSize_;
};

// FNV-1a over the bytes of each sample, least significant byte first.
inline uint64_t HashSamples(const std::vector<double>& samples, uint64_t hash = 14695981039346656037ull) {
  for (double sample : samples) {
    uint64_t bits;
    std::memcpy(&bits, &sample, sizeof bits);
    for (int i = 0; i < 8; ++i) {
      hash ^= (bits >> (8 * i)) & 0xFF;
      hash *= 1099511628211ull;
    }
  }
  return hash;
}

// A deterministic, bass-like test signal: plucked-string notes of a short bass
// line (Karplus-Strong from a fixed pseudo-random excitation) with varying
// attack strength, a little DC offset, and silent gaps.
inline std::vector<double> BassLine(double sampleRate, double seconds, uint32_t seed = 12345) {
  const double notes[] = {41.2, 41.2, 55.0, 61.7, 41.2, 73.4, 65.4, 49.0};
  const double velocity[] = {0.9, 0.35, 0.7, 0.5, 1.0, 0.25, 0.6, 0.8};
  const int frames = static_cast<int>(sampleRate * seconds);
  const int noteLength = frames / 8;
  std::vector<double> out(frames, 0.0);
  uint32_t state = seed;
  auto noise = [&state] {
    state = state * 1664525u + 1013904223u;
    return static_cast<double>(state >> 8) / 8388608.0 - 1.0;
  };
  for (int n = 0; n < 8; ++n) {
    const int period = static_cast<int>(sampleRate / notes[n]);
    std::vector<double> line(period);
    for (double& v : line) v = noise() * velocity[n];
    const int sounding = noteLength * 7 / 8;  // a short rest before the next note
    for (int i = 0, p = 0; i < sounding; ++i) {
      const int next = (p + 1) % period;
      const double sample = line[p];
      line[p] = 0.4985 * (line[p] + line[next]);
      out[n * noteLength + i] = sample + 0.002;
      p = next;
    }
  }
  return out;
}

}  // namespace torvane
