#pragma once

#include "raster/IRasterBitmap.h"

namespace torvane {

// What every drawing surface shares, whoever holds its memory: rows top to
// bottom, each padded to a multiple of four pixels, zeroed when made, a
// smaller size taken without reallocating, and 0 x 0 without pixels when the
// memory for a size cannot be had. A derived class says where the pixels live
// and frees them in its own destructor through ReleasePixels. Owned by its
// creator; used on the editor window's thread.
class SurfaceBitmap : public IRasterBitmap {
 public:
  SurfaceBitmap(const SurfaceBitmap&) = delete;
  SurfaceBitmap& operator=(const SurfaceBitmap&) = delete;

  uint32_t* PixelBuffer() const noexcept override { return pixels_; }
  int Width() const noexcept override { return width_; }
  int Height() const noexcept override { return height_; }
  int RowPitch() const noexcept override { return allocatedWidth_; }
  bool IsBottomUp() const noexcept override { return false; }
  // False when the size is unchanged or not positive.
  bool SetSize(int width, int height) noexcept final;
  int QueryExtension(int /*code*/, void* /*data*/) noexcept override { return 0; }

 protected:
  SurfaceBitmap() = default;
  ~SurfaceBitmap() override = default;

  // Zeroed memory for rows of `pitch` pixels, or null.
  virtual uint32_t* AllocatePixels(int pitch, int rows) noexcept = 0;
  virtual void FreePixels(uint32_t* pixels) noexcept = 0;
  // Frees the pixels and leaves the bitmap 0 x 0.
  void ReleasePixels() noexcept;

 private:
  uint32_t* pixels_ = nullptr;
  int width_ = 0;
  int height_ = 0;
  int allocatedWidth_ = 0;
  int allocatedHeight_ = 0;
};

}  // namespace torvane
