#pragma once

#include "raster/IRasterBitmap.h"

namespace torvane {

// A raster in plain heap memory: decoded images, their rescaled copies and
// scratch surfaces. Rows start 64-byte aligned; the storage grows with a
// quarter to spare and never shrinks, so that repeated resizing (the editor
// being dragged larger) does not reallocate each time. Owned by its creator;
// not thread-safe.
class MemBitmap final : public IRasterBitmap {
 public:
  MemBitmap() noexcept = default;
  // Empty when either side is not positive.
  MemBitmap(int width, int height) noexcept;
  ~MemBitmap() override;
  MemBitmap(const MemBitmap&) = delete;
  MemBitmap& operator=(const MemBitmap&) = delete;

  uint32_t* PixelBuffer() const noexcept override;
  int Width() const noexcept override { return width_; }
  int Height() const noexcept override { return height_; }
  int RowPitch() const noexcept override { return PitchFor(width_); }
  bool IsBottomUp() const noexcept override { return false; }
  // Always true unless the size is unchanged; when memory runs out the bitmap
  // ends up 0 x 0.
  bool SetSize(int width, int height) noexcept override;
  void* DeviceContext() const noexcept override { return nullptr; }
  int QueryExtension(int /*code*/, void* /*data*/) noexcept override { return 0; }

  int AllocatedBytes() const noexcept { return allocatedBytes_; }

 private:
  // Rows hold a multiple of four pixels.
  static constexpr int kRowAlignMask = 3;
  static int PitchFor(int width) noexcept { return (width + kRowAlignMask) & ~kRowAlignMask; }
  bool Reserve(int64_t bytes) noexcept;
  void Release() noexcept;

  void* storage_ = nullptr;
  int width_ = 0;
  int height_ = 0;
  int allocatedBytes_ = 0;
};

}  // namespace torvane
