#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

namespace torvane {

// Deterministic signals and a level measurement shared by the DSP tests.

// Reproducible white noise in [-1, 1).
class TestNoise {
 public:
  double Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 7;
    state_ ^= state_ << 17;
    return static_cast<double>(state_ >> 11) / 4503599627370496.0 - 1.0;
  }

 private:
  uint64_t state_ = 0x9E3779B97F4A7C15ull;
};

// A plucked bass-like test signal: a decaying 55 Hz tone with an overtone,
// re-plucked every half second, plus a little noise.
inline std::vector<double> BassSignal(int frames, double sampleRate, double level) {
  const double pi = 3.141592653589793;
  TestNoise noise;
  std::vector<double> out(frames);
  const int pluck = static_cast<int>(sampleRate / 2);
  for (int n = 0; n < frames; ++n) {
    const double t = (n % pluck) / sampleRate;
    const double tone = std::sin(2 * pi * 55 * t) + 0.4 * std::sin(2 * pi * 165 * t);
    out[n] = level * (tone * std::exp(-4 * t) + 0.02 * noise.Next());
  }
  return out;
}

// Amplitude of the hz component of y[from..], by projection onto a sine and a
// cosine over a whole number of its periods.
inline double ToneAmplitude(const std::vector<double>& y, int from, double hz, double sampleRate) {
  const double pi = 3.141592653589793;
  const double periodFrames = sampleRate / hz;
  const int periods = static_cast<int>((y.size() - from) / periodFrames);
  const int frames = static_cast<int>(std::lround(periods * periodFrames));
  double re = 0, im = 0;
  for (int n = 0; n < frames; ++n) {
    const double phase = 2 * pi * hz * n / sampleRate;
    re += y[from + n] * std::cos(phase);
    im += y[from + n] * std::sin(phase);
  }
  return 2 * std::sqrt(re * re + im * im) / frames;
}

inline std::vector<double> Sine(int frames, double hz, double sampleRate, double level) {
  const double pi = 3.141592653589793;
  std::vector<double> out(frames);
  for (int n = 0; n < frames; ++n) out[n] = level * std::sin(2 * pi * hz * n / sampleRate);
  return out;
}

}  // namespace torvane
