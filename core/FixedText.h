#pragma once

#include <cstddef>

namespace torvane {

// Copies text into a fixed-capacity, NUL-terminated field (names and labels
// that cross the host boundary), truncating what does not fit.
void CopyFixedText(char* destination, size_t capacity, const char* source) noexcept;

template <size_t N>
void CopyFixedText(char (&destination)[N], const char* source) noexcept {
  CopyFixedText(destination, N, source);
}

}  // namespace torvane
