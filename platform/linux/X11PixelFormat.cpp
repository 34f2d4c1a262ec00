#include "platform/linux/X11PixelFormat.h"

#include <cstring>

namespace torvane {

bool X11PixelFormat::MakeChannel(unsigned long mask, Channel& channel) noexcept {
  if (mask == 0 || mask > 0xFFFFFFFFul) return false;
  const auto bits = static_cast<uint32_t>(mask);
  channel.shift = __builtin_ctz(bits);
  const uint32_t value = bits >> channel.shift;
  // The mask's bits must be contiguous.
  if ((value & (value + 1)) != 0) return false;
  channel.maximum = value;
  return true;
}

bool X11PixelFormat::Configure(unsigned long redMask, unsigned long greenMask, unsigned long blueMask,
                               int bitsPerPixel, int depth, bool mostSignificantByteFirst) noexcept {
  bitsPerPixel_ = 0;
  if (bitsPerPixel != 16 && bitsPerPixel != 24 && bitsPerPixel != 32) return false;
  if (depth <= 0 || depth > bitsPerPixel) return false;
  if (!MakeChannel(redMask, red_) || !MakeChannel(greenMask, green_) || !MakeChannel(blueMask, blue_)) return false;
  const uint64_t shownBits = (uint64_t{1} << depth) - 1;
  if (((redMask | greenMask | blueMask) & ~shownBits) != 0) return false;
  bitsPerPixel_ = bitsPerPixel;
  mostSignificantFirst_ = mostSignificantByteFirst;
  unusedBits_ = static_cast<uint32_t>(shownBits & ~static_cast<uint64_t>(redMask | greenMask | blueMask));
  sameLayout_ = bitsPerPixel == 32 && redMask == 0xFF0000 && greenMask == 0xFF00 && blueMask == 0xFF &&
                !mostSignificantByteFirst && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__;
  return true;
}

uint32_t X11PixelFormat::Pixel(uint32_t argb) const noexcept {
  // Each 8-bit channel scaled to the channel's range, rounded to nearest.
  const auto scale = [](uint32_t value, const Channel& channel) {
    return static_cast<uint32_t>((uint64_t{value} * channel.maximum + 127) / 255) << channel.shift;
  };
  return scale((argb >> 16) & 0xFF, red_) | scale((argb >> 8) & 0xFF, green_) | scale(argb & 0xFF, blue_) |
         unusedBits_;
}

void X11PixelFormat::ConvertRow(const uint32_t* source, int count, uint8_t* destination) const noexcept {
  if (sameLayout_) {
    for (int i = 0; i < count; ++i) {
      const uint32_t pixel = source[i] | unusedBits_;
      std::memcpy(destination + 4 * i, &pixel, 4);
    }
    return;
  }
  const int bytes = BytesPerPixel();
  for (int i = 0; i < count; ++i) {
    const uint32_t pixel = Pixel(source[i]);
    uint8_t* out = destination + bytes * i;
    for (int b = 0; b < bytes; ++b) {
      const int shift = 8 * (mostSignificantFirst_ ? bytes - 1 - b : b);
      out[b] = static_cast<uint8_t>(pixel >> shift);
    }
  }
}

}  // namespace torvane
