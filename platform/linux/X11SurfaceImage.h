#pragma once

#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>

#include <cstdint>

#include "editor/IBounds.h"
#include "platform/linux/X11PixelFormat.h"

namespace torvane {

class IRasterBitmap;
class SharedMemoryBitmap;

// The image through which the editor's surface reaches its window. Where the
// window's visual shows the surface's words as they are, the image is the
// surface's own memory: attached to the server when the surface lives in
// shared memory, sent with every transfer otherwise. For any other layout it
// is an image of its own that rows are converted into, in memory shared with
// the server where it takes it. Owned by the editor window; used under the
// editor's window lock.
class X11SurfaceImage {
 public:
  X11SurfaceImage() noexcept = default;
  ~X11SurfaceImage() { Release(); }
  X11SurfaceImage(const X11SurfaceImage&) = delete;
  X11SurfaceImage& operator=(const X11SurfaceImage&) = delete;

  // Takes the visual's pixel layout; false when it is not one we can convert
  // to. Shared memory is tried only when asked for, and given up for good
  // once the server refuses it (a server on another machine).
  bool Configure(Display* display, Visual* visual, int depth, bool trySharedMemory) noexcept;
  void Release() noexcept;
  // Copies area of the surface (limited to the surface) to the same place in
  // the drawable. The image is made for the surface on first use, and anew
  // for another surface (the editor's after a resize).
  void Put(Drawable drawable, GC gc, const IRasterBitmap& surface, const IBounds& area) noexcept;

  bool UsesSharedMemory() const noexcept { return sharedMemory_; }
  // True when the image is the surface's own memory: nothing is converted or
  // copied on our side.
  bool ViewsSurface() const noexcept { return viewsSurface_; }

 private:
  // What the image was made for: a surface's pixels, size and segment.
  struct SurfaceKey {
    const uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    int pitch = 0;
    int segment = -1;
    bool operator==(const SurfaceKey& other) const noexcept;
  };
  static SurfaceKey KeyOf(const IRasterBitmap& surface) noexcept;

  bool Make(const IRasterBitmap& surface) noexcept;
  bool ViewShared(const SharedMemoryBitmap& surface) noexcept;
  bool ViewPlain(const IRasterBitmap& surface) noexcept;
  bool CreateShared(int width, int height) noexcept;
  bool CreatePlain(int width, int height) noexcept;
  // Asks the server to attach segment_; a refusal gives shared memory up.
  bool Attach() noexcept;
  void DestroyImage() noexcept;

  Display* display_ = nullptr;
  Visual* visual_ = nullptr;
  int depth_ = 0;
  bool trySharedMemory_ = false;
  X11PixelFormat format_;
  XImage* image_ = nullptr;
  XShmSegmentInfo segment_ = {};
  bool sharedMemory_ = false;
  bool viewsSurface_ = false;
  SurfaceKey made_;
};

}  // namespace torvane
