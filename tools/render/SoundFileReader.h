#pragma once

#include <sndfile.h>

#include "tools/render/AudioSource.h"

namespace torvane {

// Audio read through libsndfile from a file or, for "-", standard input, in
// any format libsndfile reads from there. Owns the open file.
class SoundFileReader final : public AudioSource {
 public:
  SoundFileReader() = default;
  ~SoundFileReader() override;
  SoundFileReader(const SoundFileReader&) = delete;
  SoundFileReader& operator=(const SoundFileReader&) = delete;

  bool Open(const std::string& path, std::string& error);

  int Channels() const override { return info_.channels; }
  double SampleRate() const override { return info_.samplerate; }
  int64_t Frames() const override { return info_.seekable ? info_.frames : -1; }
  std::string Description() const override;
  bool Read(double* interleaved, size_t frames, size_t& read, std::string& error) override;

 private:
  SNDFILE* file_ = nullptr;
  SF_INFO info_ = {};
  std::string name_;
};

}  // namespace torvane
