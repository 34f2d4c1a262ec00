#include "tools/render/AudioFile.h"

#include <sndfile.h>
#include <unistd.h>

#include <cstdio>

namespace torvane {

bool ReadAudioFile(const std::string& path, AudioBuffer& audio, std::string& error) {
  SF_INFO info = {};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (!file) {
    error = "cannot read " + path + ": " + sf_strerror(nullptr);
    return false;
  }
  if (info.channels < 1 || info.samplerate < 1) {
    sf_close(file);
    error = path + " holds no audio channels";
    return false;
  }
  std::vector<double> interleaved(static_cast<size_t>(info.frames) * info.channels);
  const sf_count_t read = sf_readf_double(file, interleaved.data(), info.frames);
  sf_close(file);
  audio.sampleRate = info.samplerate;
  audio.channels.assign(info.channels, std::vector<double>(static_cast<size_t>(read)));
  for (sf_count_t f = 0; f < read; ++f) {
    for (int c = 0; c < info.channels; ++c) audio.channels[c][f] = interleaved[f * info.channels + c];
  }
  return true;
}

bool WriteFloatWav(const std::string& path, const AudioBuffer& audio, std::string& error) {
  const std::string temporary = path + ".partial-" + std::to_string(getpid());
  SF_INFO info = {};
  info.samplerate = static_cast<int>(audio.sampleRate);
  info.channels = static_cast<int>(audio.channels.size());
  info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
  SNDFILE* file = sf_open(temporary.c_str(), SFM_WRITE, &info);
  if (!file) {
    error = "cannot write " + path + ": " + sf_strerror(nullptr);
    return false;
  }
  const size_t frames = audio.Frames();
  std::vector<double> interleaved(frames * info.channels);
  for (size_t f = 0; f < frames; ++f) {
    for (int c = 0; c < info.channels; ++c) interleaved[f * info.channels + c] = audio.channels[c][f];
  }
  const sf_count_t written = sf_writef_double(file, interleaved.data(), static_cast<sf_count_t>(frames));
  const int closed = sf_close(file);
  if (written != static_cast<sf_count_t>(frames) || closed != 0 || std::rename(temporary.c_str(), path.c_str()) != 0) {
    std::remove(temporary.c_str());
    error = "cannot write " + path + " completely";
    return false;
  }
  return true;
}

}  // namespace torvane
