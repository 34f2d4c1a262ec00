#pragma once

#include <cstdint>

namespace torvane {

// Converts the editor's pixels (0xAARRGGBB words) into the pixel layout of an
// X image: any true-colour layout of 16, 24 or 32 bits per pixel in either
// byte order, through the visual's colour masks. Bits of the depth outside
// the masks (the alpha byte of a 32-bit visual) are set, so that a compositing
// server shows the editor opaque; bits beyond the depth are not shown and
// stay as they are. A value type owned by the window's image; any thread.
class X11PixelFormat {
 public:
  // False for a layout it cannot produce (colour maps, other pixel sizes);
  // the format is then unusable.
  bool Configure(unsigned long redMask, unsigned long greenMask, unsigned long blueMask, int bitsPerPixel,
                 int depth, bool mostSignificantByteFirst) noexcept;
  int BytesPerPixel() const noexcept { return bitsPerPixel_ / 8; }
  // True when the server shows the editor's words as they are (the common
  // 24-bit true-colour visual at 32 bits per pixel): the surface's own rows
  // can be sent, nothing converted.
  bool ShowsSurfaceAsIs() const noexcept { return sameLayout_ && unusedBits_ == 0; }
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
  // The editor's own layout, little-endian 32-bit: words are copied, with
  // the unused bits set.
  bool sameLayout_ = false;
};

}  // namespace torvane
