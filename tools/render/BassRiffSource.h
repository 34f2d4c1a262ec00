#pragma once

#include <vector>

#include "tools/render/AudioSource.h"

namespace torvane {

// The built-in bass riff (SynthesizeBassRiff) as the renderer's mono input:
// a few seconds, synthesised whole when constructed.
class BassRiffSource final : public AudioSource {
 public:
  explicit BassRiffSource(double sampleRate);

  int Channels() const override { return 1; }
  double SampleRate() const override { return sampleRate_; }
  int64_t Frames() const override { return static_cast<int64_t>(samples_.size()); }
  std::string Description() const override { return "built-in bass riff"; }
  bool Read(double* interleaved, size_t frames, size_t& read, std::string& error) override;

 private:
  double sampleRate_;
  std::vector<double> samples_;
  size_t position_ = 0;
};

}  // namespace torvane
