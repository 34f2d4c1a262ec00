#include "dsp/DelayLine.h"

#include <algorithm>

namespace torvane {

void DelayLine::SetLength(int length) noexcept {
  // length + 1 slots are in use: the one written and the `length` still held.
  length_ = std::min(std::max(length, 0), kCapacity - 1);
  position_ = 0;
}

bool DelayLine::HasFiniteState() const noexcept {
  double probe = 0.0;
  for (int i = 0; i <= length_; ++i) probe += 0.0 * samples_[i];
  return probe == 0.0;
}

void DelayLine::CopyHeld(double* held) const noexcept {
  int position = position_;
  for (int k = 0; k < length_; ++k) {
    position = position < length_ ? position + 1 : 0;
    held[k] = samples_[position];
  }
}

void DelayLine::Push(const double* inputs, int count) noexcept {
  int position = position_;
  for (int i = 0; i < count; ++i) {
    samples_[position] = inputs[i];
    position = position < length_ ? position + 1 : 0;
  }
  position_ = position;
}

void DelayLine::Clear() noexcept { std::fill(samples_, samples_ + kCapacity, 0.0); }

}  // namespace torvane
