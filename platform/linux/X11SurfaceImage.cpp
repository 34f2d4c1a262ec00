#include "platform/linux/X11SurfaceImage.h"

#include <sys/ipc.h>
#include <sys/shm.h>

#include <X11/Xutil.h>

#include <algorithm>
#include <cstdlib>

#include "platform/linux/X11ErrorTrap.h"
#include "raster/IRasterBitmap.h"

namespace torvane {

bool X11SurfaceImage::Create(Display* display, Visual* visual, int depth, int width, int height,
                             bool trySharedMemory) noexcept {
  Release();
  if (!display || width <= 0 || height <= 0) return false;
  display_ = display;
  if (trySharedMemory && XShmQueryExtension(display) && CreateShared(visual, depth, width, height)) return true;
  return CreatePlain(visual, depth, width, height);
}

bool X11SurfaceImage::CreateShared(Visual* visual, int depth, int width, int height) noexcept {
  image_ = XShmCreateImage(display_, visual, static_cast<unsigned>(depth), ZPixmap, nullptr, &segment_,
                           static_cast<unsigned>(width), static_cast<unsigned>(height));
  if (!image_) return false;
  const bool formatKnown = format_.Configure(image_->red_mask, image_->green_mask, image_->blue_mask,
                                             image_->bits_per_pixel, image_->byte_order == MSBFirst);
  segment_.shmid = formatKnown ? shmget(IPC_PRIVATE, static_cast<size_t>(image_->bytes_per_line) * height,
                                        IPC_CREAT | 0600)
                               : -1;
  void* address = segment_.shmid >= 0 ? shmat(segment_.shmid, nullptr, 0) : reinterpret_cast<void*>(-1);
  bool attached = false;
  if (address != reinterpret_cast<void*>(-1)) {
    segment_.shmaddr = image_->data = static_cast<char*>(address);
    segment_.readOnly = False;
    // A server on another machine refuses the segment, and says so only in
    // an error that comes back later.
    X11ErrorTrap trap(display_);
    attached = XShmAttach(display_, &segment_) && !trap.Failed();
  }
  // The segment goes away once both sides have let go of it.
  if (segment_.shmid >= 0) shmctl(segment_.shmid, IPC_RMID, nullptr);
  if (attached) {
    sharedMemory_ = true;
    return true;
  }
  if (image_->data) shmdt(image_->data);
  image_->data = nullptr;
  XDestroyImage(image_);
  image_ = nullptr;
  return false;
}

bool X11SurfaceImage::CreatePlain(Visual* visual, int depth, int width, int height) noexcept {
  constexpr int kRowPadBits = 32;
  image_ = XCreateImage(display_, visual, static_cast<unsigned>(depth), ZPixmap, 0, nullptr,
                        static_cast<unsigned>(width), static_cast<unsigned>(height), kRowPadBits, 0);
  if (!image_) return false;
  const bool formatKnown = format_.Configure(image_->red_mask, image_->green_mask, image_->blue_mask,
                                             image_->bits_per_pixel, image_->byte_order == MSBFirst);
  // XDestroyImage releases the pixels with free().
  image_->data = formatKnown ? static_cast<char*>(std::malloc(static_cast<size_t>(image_->bytes_per_line) * height))
                             : nullptr;
  if (!image_->data) {
    XDestroyImage(image_);
    image_ = nullptr;
    return false;
  }
  return true;
}

void X11SurfaceImage::Release() noexcept {
  if (!image_) return;
  if (sharedMemory_) {
    XShmDetach(display_, &segment_);
    shmdt(segment_.shmaddr);
    image_->data = nullptr;
    sharedMemory_ = false;
  }
  XDestroyImage(image_);
  image_ = nullptr;
}

void X11SurfaceImage::Put(Drawable drawable, GC gc, const IRasterBitmap& surface, const IBounds& area) noexcept {
  if (!image_ || !surface.PixelBuffer()) return;
  const int left = std::max(area.left, 0);
  const int top = std::max(area.top, 0);
  const int right = std::min({area.right, surface.Width(), image_->width});
  const int bottom = std::min({area.bottom, surface.Height(), image_->height});
  if (right <= left || bottom <= top) return;
  const int bytesPerPixel = format_.BytesPerPixel();
  for (int y = top; y < bottom; ++y) {
    auto* row = reinterpret_cast<uint8_t*>(image_->data) + static_cast<ptrdiff_t>(y) * image_->bytes_per_line;
    format_.ConvertRow(RowStart(surface, y) + left, right - left, row + left * bytesPerPixel);
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
