#pragma once

#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>

#include "editor/IBounds.h"
#include "platform/linux/X11PixelFormat.h"

namespace torvane {

class IRasterBitmap;

// The image through which the editor's surface reaches its window: an X image
// in the window visual's pixel layout, in memory shared with the X server
// where the server offers MIT-SHM to this connection (a local display), in
// our own memory sent with every transfer otherwise. Owned by the editor
// window; used under the editor's window lock.
class X11SurfaceImage {
 public:
  X11SurfaceImage() noexcept = default;
  ~X11SurfaceImage() { Release(); }
  X11SurfaceImage(const X11SurfaceImage&) = delete;
  X11SurfaceImage& operator=(const X11SurfaceImage&) = delete;

  // Makes an image of the given size; false when the visual's pixel layout is
  // not one we can convert to or memory runs out. Shared memory is tried only
  // when asked for, and given up when the server refuses it.
  bool Create(Display* display, Visual* visual, int depth, int width, int height, bool trySharedMemory) noexcept;
  void Release() noexcept;
  // Converts area of the surface (limited to the surface and the image) and
  // copies it to the same place in the drawable.
  void Put(Drawable drawable, GC gc, const IRasterBitmap& surface, const IBounds& area) noexcept;

  bool UsesSharedMemory() const noexcept { return sharedMemory_; }

 private:
  bool CreateShared(Visual* visual, int depth, int width, int height) noexcept;
  bool CreatePlain(Visual* visual, int depth, int width, int height) noexcept;

  Display* display_ = nullptr;
  XImage* image_ = nullptr;
  XShmSegmentInfo segment_ = {};
  bool sharedMemory_ = false;
  X11PixelFormat format_;
};

}  // namespace torvane
