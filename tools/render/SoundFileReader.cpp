#include "tools/render/SoundFileReader.h"

#include <unistd.h>

namespace torvane {

namespace {
std::string FormatName(int format) {
  SF_FORMAT_INFO info = {};
  info.format = format;
  return sf_command(nullptr, SFC_GET_FORMAT_INFO, &info, sizeof info) == 0 && info.name ? info.name : "unknown";
}
}  // namespace

SoundFileReader::~SoundFileReader() {
  if (file_) sf_close(file_);
}

bool SoundFileReader::Open(const std::string& path, std::string& error) {
  const bool standardInput = path == "-";
  name_ = standardInput ? "standard input" : path;
  file_ = standardInput ? sf_open_fd(STDIN_FILENO, SFM_READ, &info_, SF_FALSE)
                        : sf_open(path.c_str(), SFM_READ, &info_);
  if (!file_) {
    error = "cannot read " + name_ + ": " + sf_strerror(nullptr);
    // libsndfile has to seek in FLAC, which a pipe cannot do.
    if (standardInput) error += " (FLAC can only be read from a named file)";
    return false;
  }
  if (info_.channels < 1 || info_.samplerate < 1) {
    error = name_ + " holds no audio channels";
    return false;
  }
  return true;
}

std::string SoundFileReader::Description() const {
  return FormatName(info_.format & SF_FORMAT_TYPEMASK) + ", " + FormatName(info_.format & SF_FORMAT_SUBMASK);
}

bool SoundFileReader::Read(double* interleaved, size_t frames, size_t& read, std::string& error) {
  // A pipe may deliver less than asked; keep reading so every block is full
  // and the render does not depend on how the input arrives.
  read = 0;
  while (read < frames) {
    const sf_count_t n = sf_readf_double(file_, interleaved + read * info_.channels,
                                         static_cast<sf_count_t>(frames - read));
    if (n <= 0) break;
    read += static_cast<size_t>(n);
  }
  if (read < frames && sf_error(file_) != SF_ERR_NO_ERROR) {
    error = "cannot read " + name_ + ": " + sf_strerror(file_);
    return false;
  }
  return true;
}

}  // namespace torvane
