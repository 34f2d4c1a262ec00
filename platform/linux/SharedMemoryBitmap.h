#pragma once

#include "raster/SurfaceBitmap.h"

namespace torvane {

// A raster whose pixels live in a private shared-memory segment, so that a
// local X server can read them straight from there: the X11 editor's drawing
// surface, presented without a copy of its own. The segment is marked for
// removal as soon as it exists and goes away when its last user lets go of
// it, even if the process ends without a word. Owned by the editor; used
// under the editor's window lock.
class SharedMemoryBitmap final : public SurfaceBitmap {
 public:
  SharedMemoryBitmap(int width, int height) noexcept;
  ~SharedMemoryBitmap() override;

  void* DeviceContext() const noexcept override { return nullptr; }
  // The segment's id for XShmAttach; -1 without pixels.
  int SegmentId() const noexcept { return segmentId_; }

 private:
  uint32_t* AllocatePixels(int pitch, int rows) noexcept override;
  void FreePixels(uint32_t* pixels) noexcept override;

  int segmentId_ = -1;
};

}  // namespace torvane
