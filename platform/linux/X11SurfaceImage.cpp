#include "platform/linux/X11SurfaceImage.h"

#include <sys/ipc.h>
#include <sys/shm.h>

#include <X11/Xutil.h>

#include <algorithm>
#include <cstdlib>

#include "platform/linux/SharedMemoryBitmap.h"
#include "platform/linux/X11ErrorTrap.h"
#include "raster/IRasterBitmap.h"

namespace torvane {

namespace {

constexpr int kRowPadBits = 32;
constexpr int kSurfaceBytesPerPixel = 4;

const SharedMemoryBitmap* AsShared(const IRasterBitmap& surface) noexcept {
  return dynamic_cast<const SharedMemoryBitmap*>(&surface);
}

}  // namespace

bool X11SurfaceImage::SurfaceKey::operator==(const SurfaceKey& other) const noexcept {
  return pixels == other.pixels && width == other.width && height == other.height && pitch == other.pitch &&
         segment == other.segment;
}

X11SurfaceImage::SurfaceKey X11SurfaceImage::KeyOf(const IRasterBitmap& surface) noexcept {
  const SharedMemoryBitmap* shared = AsShared(surface);
  return {surface.PixelBuffer(), surface.Width(), surface.Height(), surface.RowPitch(),
          shared ? shared->SegmentId() : -1};
}

bool X11SurfaceImage::Configure(Display* display, Visual* visual, int depth, bool trySharedMemory) noexcept {
  Release();
  display_ = nullptr;
  if (!display) return false;
  // The server's pixel size and byte order for the depth, from an image
  // without pixels.
  XImage* probe = XCreateImage(display, visual, static_cast<unsigned>(depth), ZPixmap, 0, nullptr, 1, 1,
                               kRowPadBits, 0);
  if (!probe) return false;
  const bool known = format_.Configure(probe->red_mask, probe->green_mask, probe->blue_mask, probe->bits_per_pixel,
                                       probe->depth, probe->byte_order == MSBFirst);
  XDestroyImage(probe);
  if (!known) return false;
  display_ = display;
  visual_ = visual;
  depth_ = depth;
  trySharedMemory_ = trySharedMemory;
  return true;
}

bool X11SurfaceImage::Make(const IRasterBitmap& surface) noexcept {
  Release();
  const SurfaceKey key = KeyOf(surface);
  bool made = false;
  if (format_.ShowsSurfaceAsIs() && !surface.IsBottomUp()) {
    const SharedMemoryBitmap* shared = AsShared(surface);
    made = (trySharedMemory_ && shared && ViewShared(*shared)) || ViewPlain(surface);
  } else {
    made = (trySharedMemory_ && CreateShared(key.width, key.height)) || CreatePlain(key.width, key.height);
  }
  if (made) made_ = key;
  return made;
}

bool X11SurfaceImage::ViewShared(const SharedMemoryBitmap& surface) noexcept {
  const int pitch = surface.RowPitch();
  segment_.shmid = surface.SegmentId();
  segment_.shmaddr = reinterpret_cast<char*>(surface.PixelBuffer());
  // The server only reads the surface.
  segment_.readOnly = True;
  image_ = XShmCreateImage(display_, visual_, static_cast<unsigned>(depth_), ZPixmap, segment_.shmaddr, &segment_,
                           static_cast<unsigned>(pitch), static_cast<unsigned>(surface.Height()));
  if (!image_) return false;
  viewsSurface_ = true;
  sharedMemory_ = image_->bytes_per_line == pitch * kSurfaceBytesPerPixel && Attach();
  if (!sharedMemory_) Release();
  return sharedMemory_;
}

bool X11SurfaceImage::ViewPlain(const IRasterBitmap& surface) noexcept {
  const int pitch = surface.RowPitch();
  image_ = XCreateImage(display_, visual_, static_cast<unsigned>(depth_), ZPixmap, 0,
                        reinterpret_cast<char*>(surface.PixelBuffer()), static_cast<unsigned>(pitch),
                        static_cast<unsigned>(surface.Height()), kRowPadBits, pitch * kSurfaceBytesPerPixel);
  viewsSurface_ = image_ != nullptr;
  return viewsSurface_;
}

bool X11SurfaceImage::CreateShared(int width, int height) noexcept {
  image_ = XShmCreateImage(display_, visual_, static_cast<unsigned>(depth_), ZPixmap, nullptr, &segment_,
                           static_cast<unsigned>(width), static_cast<unsigned>(height));
  if (!image_) return false;
  segment_.shmid = shmget(IPC_PRIVATE, static_cast<size_t>(image_->bytes_per_line) * height, IPC_CREAT | 0600);
  void* address = segment_.shmid >= 0 ? shmat(segment_.shmid, nullptr, 0) : reinterpret_cast<void*>(-1);
  bool attached = false;
  if (address != reinterpret_cast<void*>(-1)) {
    segment_.shmaddr = image_->data = static_cast<char*>(address);
    segment_.readOnly = False;
    attached = Attach();
  }
  // The segment goes away once both sides have let go of it.
  if (segment_.shmid >= 0) shmctl(segment_.shmid, IPC_RMID, nullptr);
  if (attached) {
    sharedMemory_ = true;
    return true;
  }
  if (image_->data) shmdt(image_->data);
  image_->data = nullptr;
  Release();
  return false;
}

bool X11SurfaceImage::CreatePlain(int width, int height) noexcept {
  image_ = XCreateImage(display_, visual_, static_cast<unsigned>(depth_), ZPixmap, 0, nullptr,
                        static_cast<unsigned>(width), static_cast<unsigned>(height), kRowPadBits, 0);
  if (!image_) return false;
  // XDestroyImage releases the pixels with free().
  image_->data = static_cast<char*>(std::malloc(static_cast<size_t>(image_->bytes_per_line) * height));
  if (image_->data) return true;
  Release();
  return false;
}

bool X11SurfaceImage::Attach() noexcept {
  // A server on another machine refuses the segment, and says so only in an
  // error that comes back later.
  X11ErrorTrap trap(display_);
  if (XShmAttach(display_, &segment_) && !trap.Failed()) return true;
  trySharedMemory_ = false;
  return false;
}

void X11SurfaceImage::Release() noexcept {
  if (image_) {
    if (sharedMemory_) XShmDetach(display_, &segment_);
    // The surface's pixels stay with the surface; a segment of our own goes.
    if (sharedMemory_ && !viewsSurface_) shmdt(segment_.shmaddr);
    if (sharedMemory_ || viewsSurface_) image_->data = nullptr;
    XDestroyImage(image_);
  }
  image_ = nullptr;
  segment_ = {};
  sharedMemory_ = viewsSurface_ = false;
  made_ = {};
}

void X11SurfaceImage::Put(Drawable drawable, GC gc, const IRasterBitmap& surface, const IBounds& area) noexcept {
  if (!display_ || !surface.PixelBuffer()) return;
  if (!(KeyOf(surface) == made_) && !Make(surface)) return;
  const int left = std::max(area.left, 0);
  const int top = std::max(area.top, 0);
  const int right = std::min(area.right, surface.Width());
  const int bottom = std::min(area.bottom, surface.Height());
  if (right <= left || bottom <= top) return;
  if (!viewsSurface_) {
    const int bytesPerPixel = format_.BytesPerPixel();
    for (int y = top; y < bottom; ++y) {
      auto* row = reinterpret_cast<uint8_t*>(image_->data) + static_cast<ptrdiff_t>(y) * image_->bytes_per_line;
      format_.ConvertRow(RowStart(surface, y) + left, right - left, row + left * bytesPerPixel);
    }
  }
  const auto width = static_cast<unsigned>(right - left);
  const auto height = static_cast<unsigned>(bottom - top);
  if (sharedMemory_) {
    XShmPutImage(display_, drawable, gc, image_, left, top, left, top, width, height, False);
  } else {
    XPutImage(display_, drawable, gc, image_, left, top, left, top, width, height);
  }
}

}  // namespace torvane
