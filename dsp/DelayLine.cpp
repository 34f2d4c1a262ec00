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
  // The slots after the current one, then those from the first slot on.
  const int tail = length_ - position_;
  std::copy(samples_ + position_ + 1, samples_ + length_ + 1, held);
  std::copy(samples_, samples_ + position_, held + tail);
}

void DelayLine::Push(const double* inputs, int count) noexcept {
  // Only the last length + 1 inputs stay in the line.
  const int slots = length_ + 1;
  const int skipped = std::max(count - slots, 0);
  int position = (position_ + skipped) % slots;
  for (int i = skipped; i < count;) {
    const int n = std::min(count - i, slots - position);
    std::copy(inputs + i, inputs + i + n, samples_ + position);
    i += n;
    position = position + n < slots ? position + n : 0;
  }
  position_ = position;
}

void DelayLine::Clear() noexcept { std::fill(samples_, samples_ + kCapacity, 0.0); }

}  // namespace torvane
