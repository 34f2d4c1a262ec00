#pragma once

#include "raster/IRasterBitmap.h"

namespace torvane {

// A raster the platform can draw into and copy to a window: the editor's
// drawing surface and the glyph cache's scratch surface. On Windows it is a
// top-down 32-bit DIB section selected into its own memory device context;
// elsewhere a buffer with the same layout and no context. Owned by its
// creator; used on the editor window's thread.
class SysBitmap final : public IRasterBitmap {
 public:
  SysBitmap(int width, int height) noexcept;
  ~SysBitmap() override;
  SysBitmap(const SysBitmap&) = delete;
  SysBitmap& operator=(const SysBitmap&) = delete;

  uint32_t* PixelBuffer() const noexcept override { return pixels_; }
  int Width() const noexcept override { return width_; }
  int Height() const noexcept override { return height_; }
  int RowPitch() const noexcept override { return allocatedWidth_; }
  bool IsBottomUp() const noexcept override { return false; }
  // Takes a smaller size without reallocating. Returns false when the size is
  // unchanged or not positive; when the surface cannot be created the bitmap
  // is left 0 x 0 without pixels.
  bool SetSize(int width, int height) noexcept override;
  void* DeviceContext() const noexcept override { return context_; }
  int QueryExtension(int /*code*/, void* /*data*/) noexcept override { return 0; }

 private:
  // Platform parts (SysBitmapWin.cpp, SysBitmapPosix.cpp).
  void OpenContext() noexcept;
  void CloseContext() noexcept;
  // Creates a surface of the allocated size and sets pixels_, or leaves it null.
  void CreateSurface() noexcept;
  void DestroySurface() noexcept;

  int width_ = 0;
  int height_ = 0;
  void* context_ = nullptr;
  uint32_t* pixels_ = nullptr;
  int allocatedWidth_ = 0;
  int allocatedHeight_ = 0;
  void* surface_ = nullptr;
  void* previousSurface_ = nullptr;
};

}  // namespace torvane
