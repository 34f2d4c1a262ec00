#pragma once

#include <string>
#include <vector>

namespace torvane {

// Planar audio in double precision: one vector per channel.
struct AudioBuffer {
  double sampleRate = 0.0;
  std::vector<std::vector<double>> channels;

  size_t Frames() const { return channels.empty() ? 0 : channels[0].size(); }
};

// Reads any file libsndfile understands (WAV, FLAC, AIFF, ...); on failure
// returns false and says why in error.
bool ReadAudioFile(const std::string& path, AudioBuffer& audio, std::string& error);

// Writes a 32-bit float WAV. The file appears complete or not at all: it is
// written under a temporary name beside the target and renamed at the end.
bool WriteFloatWav(const std::string& path, const AudioBuffer& audio, std::string& error);

}  // namespace torvane
