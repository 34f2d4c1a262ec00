#pragma once

#include "raster/IRasterBitmap.h"

namespace torvane {

// A raster whose pixels live in a private shared-memory segment, so that a
// local X server can read them straight from there: the X11 editor's drawing
// surface, presented without a copy of its own. Laid out like SysBitmap (rows
// top to bottom, a multiple of four pixels each, zeroed when made). The
// segment is marked for removal as soon as it exists and goes away when its
// last user lets go of it, even if the process ends without a word. Owned
// by the editor; used under the editor's window lock.
class SharedMemoryBitmap final : public IRasterBitmap {
 public:
  SharedMemoryBitmap(int width, int height) noexcept;
  ~SharedMemoryBitmap() override;
  SharedMemoryBitmap(const SharedMemoryBitmap&) = delete;
  SharedMemoryBitmap& operator=(const SharedMemoryBitmap&) = delete;

  uint32_t* PixelBuffer() const noexcept override { return pixels_; }
  int Width() const noexcept override { return width_; }
  int Height() const noexcept override { return height_; }
  int RowPitch() const noexcept override { return allocatedWidth_; }
  bool IsBottomUp() const noexcept override { return false; }
  // As SysBitmap: a size that fits the segment is taken without making a new
  // one; when no segment can be had the bitmap is left 0 x 0 without pixels.
  bool SetSize(int width, int height) noexcept override;
  void* DeviceContext() const noexcept override { return nullptr; }
  int QueryExtension(int /*code*/, void* /*data*/) noexcept override { return 0; }

  // The segment's id for XShmAttach; -1 without pixels.
  int SegmentId() const noexcept { return segmentId_; }

 private:
  void Release() noexcept;

  uint32_t* pixels_ = nullptr;
  int segmentId_ = -1;
  int width_ = 0;
  int height_ = 0;
  int allocatedWidth_ = 0;
  int allocatedHeight_ = 0;
};

}  // namespace torvane
