#pragma once

#include <cstddef>
#include <cstdint>

namespace torvane {

// A 32-bit raster the drawing operations work on: one word 0xAARRGGBB per pixel
// (bytes blue, green, red, alpha in memory), straight alpha. Owned by whoever
// created it (the editor, its image caches, the glyph cache); used on the editor
// window's thread.
class IRasterBitmap {
 public:
  virtual ~IRasterBitmap() = default;

  // First pixel of the first row in memory; null when there is no storage.
  virtual uint32_t* PixelBuffer() const noexcept = 0;
  virtual int Width() const noexcept = 0;
  virtual int Height() const noexcept = 0;
  // Distance between rows in pixels, not bytes.
  virtual int RowPitch() const noexcept = 0;
  virtual bool IsBottomUp() const noexcept = 0;
  // False when the size is unchanged.
  virtual bool SetSize(int width, int height) noexcept = 0;
  // The platform drawing context (an HDC on Windows) or null.
  virtual void* DeviceContext() const noexcept = 0;
  virtual int QueryExtension(int code, void* data) noexcept = 0;
};

// Address of row y counted from the top of the image, whichever way the rows
// are stored.
inline uint32_t* RowStart(const IRasterBitmap& bitmap, int y) noexcept {
  const int row = bitmap.IsBottomUp() ? bitmap.Height() - 1 - y : y;
  return bitmap.PixelBuffer() + static_cast<ptrdiff_t>(row) * bitmap.RowPitch();
}

// Signed distance in pixels from one image row to the next one down.
inline ptrdiff_t RowStep(const IRasterBitmap& bitmap) noexcept {
  return bitmap.IsBottomUp() ? -static_cast<ptrdiff_t>(bitmap.RowPitch()) : bitmap.RowPitch();
}

}  // namespace torvane
