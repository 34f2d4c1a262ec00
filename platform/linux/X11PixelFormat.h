#pragma once

#include <cstdint>

namespace torvane {

// Converts the editor's pixels (0xAARRGGBB words) into the pixel layout of an
// X image: any true-colour layout of 16, 24 or 32 bits per pixel in either
// byte order, through the visual's colour masks. Bits outside the masks (the
// alpha byte of a 32-bit visual) are set, so that a compositing server shows
// the editor opaque. A value type owned by the window's image; any thread.
class X11PixelFormat {
 public:
  // False for a layout it cannot produce (colour maps, other pixel sizes);
  // the format is then unusable.
  bool Configure(unsigned long redMask, unsigned long greenMask, unsigned long blueMask, int bitsPerPixel,
                 bool mostSignificantByteFirst) noexcept;
  int BytesPerPixel() const noexcept { return bitsPerPixel_ / 8; }
  // Writes count pixels of source as BytesPerPixel() bytes each.
  void ConvertRow(const uint32_t* source, int count, uint8_t* destination) const noexcept;

 private:
  struct Channel {
    int shift = 0;
    uint32_t maximum = 0;  // the largest value the channel's bits hold
  };

  static bool MakeChannel(unsigned long mask, Channel& channel) noexcept;
  uint32_t Pixel(uint32_t argb) const noexcept;

  Channel red_;
  Channel green_;
  Channel blue_;
  uint32_t unusedBits_ = 0;
  int bitsPerPixel_ = 0;
  bool mostSignificantFirst_ = false;
  // The editor's own layout, little-endian 32-bit: rows are copied.
  bool sameAsSurface_ = false;
};

}  // namespace torvane
