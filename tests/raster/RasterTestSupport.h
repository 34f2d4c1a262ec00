#pragma once

#include <cstdint>
#include <vector>

#include "raster/IRasterBitmap.h"

namespace torvane {

// Helpers shared by the raster tests.

inline uint32_t PixelAt(const IRasterBitmap& bitmap, int x, int y) { return RowStart(bitmap, y)[x]; }

inline void SetPixel(IRasterBitmap& bitmap, int x, int y, uint32_t value) { RowStart(bitmap, y)[x] = value; }

inline void FillWith(IRasterBitmap& bitmap, uint32_t value) {
  for (int y = 0; y < bitmap.Height(); ++y) {
    for (int x = 0; x < bitmap.Width(); ++x) SetPixel(bitmap, x, y, value);
  }
}

// Every pixel different: 0xFF0000yx.
inline void FillWithCoordinates(IRasterBitmap& bitmap) {
  for (int y = 0; y < bitmap.Height(); ++y) {
    for (int x = 0; x < bitmap.Width(); ++x) {
      SetPixel(bitmap, x, y, 0xFF000000u | static_cast<uint32_t>(y << 8 | x));
    }
  }
}

inline uint32_t Argb(int a, int r, int g, int b) {
  return static_cast<uint32_t>(a) << 24 | static_cast<uint32_t>(r) << 16 |
         static_cast<uint32_t>(g) << 8 | static_cast<uint32_t>(b);
}

// A raster that stores its rows bottom to top, as some platform bitmaps do.
class BottomUpBitmap final : public IRasterBitmap {
 public:
  BottomUpBitmap(int width, int height)
      : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height) {}

  uint32_t* PixelBuffer() const noexcept override { return const_cast<uint32_t*>(pixels_.data()); }
  int Width() const noexcept override { return width_; }
  int Height() const noexcept override { return height_; }
  int RowPitch() const noexcept override { return width_; }
  bool IsBottomUp() const noexcept override { return true; }
  bool SetSize(int, int) noexcept override { return false; }
  void* DeviceContext() const noexcept override { return nullptr; }
  int QueryExtension(int, void*) noexcept override { return 0; }

  // Row `row` as it lies in memory, counted from the start of the buffer.
  uint32_t StoredAt(int x, int row) const { return pixels_[static_cast<size_t>(row) * width_ + x]; }

 private:
  int width_;
  int height_;
  std::vector<uint32_t> pixels_;
};

}  // namespace torvane
