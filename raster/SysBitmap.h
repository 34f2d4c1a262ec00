#pragma once

#include "raster/SurfaceBitmap.h"

namespace torvane {

// A raster the platform can draw into and copy to a window: the editor's
// drawing surface and the glyph cache's scratch surface. On Windows it is a
// top-down 32-bit DIB section selected into its own memory device context;
// elsewhere a heap buffer with the same layout and no context. Owned by its
// creator; used on the editor window's thread.
class SysBitmap final : public SurfaceBitmap {
 public:
  SysBitmap(int width, int height) noexcept;
  ~SysBitmap() override;

  void* DeviceContext() const noexcept override { return context_; }

 private:
  // Platform parts (SysBitmapWin.cpp, SysBitmapPosix.cpp).
  void OpenContext() noexcept;
  void CloseContext() noexcept;
  uint32_t* AllocatePixels(int pitch, int rows) noexcept override;
  void FreePixels(uint32_t* pixels) noexcept override;

  void* context_ = nullptr;
  void* surface_ = nullptr;
  void* previousSurface_ = nullptr;
};

}  // namespace torvane
