#include "core/FixedText.h"

namespace torvane {

void CopyFixedText(char* destination, size_t capacity, const char* source) noexcept {
  if (!destination || capacity == 0) return;
  size_t i = 0;
  if (source) {
    for (; i + 1 < capacity && source[i] != '\0'; ++i) destination[i] = source[i];
  }
  destination[i] = '\0';
}

}  // namespace torvane
