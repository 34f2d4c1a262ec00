#include "tools/render/BassRiff.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace torvane {

namespace {
constexpr double kTempo = 96.0;  // beats per minute
constexpr int kStepsPerBeat = 4;

struct Note {
  int step;        // start, in sixteenth notes
  int length;      // in sixteenth notes
  double hz;       // pitch
  double velocity;  // 0..1
};

// E1 41.2, G1 49.0, A1 55.0, B1 61.7, D2 73.4, E2 82.4 Hz.
constexpr Note kRiff[] = {
    {0, 2, 41.20, 1.00},  {2, 1, 41.20, 0.25}, {3, 1, 82.41, 0.70},  {4, 2, 41.20, 0.85},
    {6, 1, 49.00, 0.60},  {7, 1, 55.00, 0.65}, {8, 3, 41.20, 0.95},  {11, 1, 41.20, 0.20},
    {12, 2, 73.42, 0.75}, {14, 1, 61.74, 0.55}, {15, 1, 55.00, 0.50}, {16, 2, 41.20, 1.00},
    {18, 1, 41.20, 0.30}, {19, 1, 82.41, 0.75}, {20, 2, 41.20, 0.80}, {22, 2, 55.00, 0.70},
    {24, 1, 61.74, 0.60}, {25, 1, 61.74, 0.25}, {26, 2, 73.42, 0.85}, {28, 4, 41.20, 0.90},
};

// A deterministic pseudo-random source, so every render of the riff is identical.
class NoiseSource {
 public:
  double Next() {
    state_ = state_ * 1664525u + 1013904223u;
    return static_cast<double>(state_ >> 8) / 8388608.0 - 1.0;
  }

 private:
  uint32_t state_ = 0x7A5E1B0Cu;
};

// One plucked note: a string loop (Karplus-Strong) excited by a noise burst
// whose brightness follows the velocity, picked near the bridge, and damped by
// the fretting hand when the note ends.
void AddPluck(std::vector<double>& out, size_t start, size_t sounding, const Note& note, double sampleRate,
              NoiseSource& noise) {
  const int period = std::max(2, static_cast<int>(std::lround(sampleRate / note.hz)));
  std::vector<double> loop(period);
  const double brightness = 0.25 + 0.6 * note.velocity;
  double smoothed = 0.0;
  for (double& v : loop) {
    smoothed += brightness * (noise.Next() - smoothed);
    v = smoothed;
  }
  // Picking a fifth of the way along the string removes its fifth harmonics.
  const int pickOffset = period / 5;
  std::vector<double> picked(period);
  for (int i = 0; i < period; ++i) picked[i] = loop[i] - 0.6 * loop[(i + pickOffset) % period];
  loop.swap(picked);

  const size_t release = static_cast<size_t>(0.03 * sampleRate);
  const double gain = 0.55 * note.velocity;
  for (size_t i = 0, p = 0; i < sounding + release && start + i < out.size(); ++i) {
    const size_t next = (p + 1) % period;
    const double damping = i < sounding ? 0.4990 : 0.45;
    const double sample = loop[p];
    loop[p] = damping * (loop[p] + loop[next]);
    const double fade = i < sounding ? 1.0 : 1.0 - static_cast<double>(i - sounding) / release;
    out[start + i] += gain * fade * sample;
    p = next;
  }
}
}  // namespace

std::vector<double> SynthesizeBassRiff(double sampleRate) {
  const double stepSeconds = 60.0 / kTempo / kStepsPerBeat;
  const int steps = 32;  // two bars
  std::vector<double> out(static_cast<size_t>((steps * stepSeconds + 0.5) * sampleRate), 0.0);
  NoiseSource noise;
  for (const Note& note : kRiff) {
    const size_t start = static_cast<size_t>(note.step * stepSeconds * sampleRate);
    // Notes are held a little shorter than written: a bass player's articulation.
    const size_t sounding = static_cast<size_t>(note.length * stepSeconds * sampleRate * 0.85);
    AddPluck(out, start, sounding, note, sampleRate, noise);
  }
  // A gentle pickup-and-cable low-pass takes the edge off the raw string.
  double state = 0.0;
  const double coefficient = 1.0 - std::exp(-2.0 * 3.141592653589793 * 2500.0 / sampleRate);
  for (double& v : out) {
    state += coefficient * (v - state);
    v = state;
  }
  return out;
}

}  // namespace torvane
