#include "dsp/DelayLine.h"

#include <algorithm>

namespace torvane {

void DelayLine::SetLength(int length) noexcept {
  // length + 1 slots are in use: the one written and the `length` still held.
  length_ = std::min(std::max(length, 0), kCapacity - 1);
  position_ = 0;
}

}  // namespace torvane
