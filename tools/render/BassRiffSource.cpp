#include "tools/render/BassRiffSource.h"

#include <algorithm>

#include "tools/render/BassRiff.h"

namespace torvane {

BassRiffSource::BassRiffSource(double sampleRate)
    : sampleRate_(sampleRate), samples_(SynthesizeBassRiff(sampleRate)) {}

bool BassRiffSource::Read(double* interleaved, size_t frames, size_t& read, std::string&) {
  read = std::min(frames, samples_.size() - position_);
  std::copy_n(samples_.begin() + static_cast<long>(position_), read, interleaved);
  position_ += read;
  return true;
}

}  // namespace torvane
