#pragma once

#include <cstdint>

namespace torvane {

// One character read from UTF-8 text and the bytes it took.
struct Utf8Character {
  uint32_t codePoint;
  int length;  // 1..4, never more than the bytes that were left
};

// The replacement character drawn in place of malformed input.
constexpr uint32_t kReplacementCharacter = 0xFFFD;

// Reads the character at text, which has `remaining` (> 0) bytes left; never
// looks further. Truncated and overlong sequences, encoded surrogates, stray
// continuation bytes and bytes above 0xF4 give U+FFFD: one for each maximal
// invalid piece, so the next character starts at the first byte that cannot
// belong to the broken one.
Utf8Character DecodeUtf8(const char* text, int remaining) noexcept;

}  // namespace torvane
