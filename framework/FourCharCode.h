#pragma once

#include <cstdint>

namespace torvane {

// Four characters read as one big-endian 32-bit integer, the form of plug-in
// identities and magic numbers.
constexpr int32_t FourCharCode(char a, char b, char c, char d) {
  return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint8_t>(a)) << 24 |
                              static_cast<uint32_t>(static_cast<uint8_t>(b)) << 16 |
                              static_cast<uint32_t>(static_cast<uint8_t>(c)) << 8 |
                              static_cast<uint32_t>(static_cast<uint8_t>(d)));
}

}  // namespace torvane
