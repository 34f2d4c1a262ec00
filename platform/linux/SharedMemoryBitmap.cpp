#include "platform/linux/SharedMemoryBitmap.h"

#include <sys/ipc.h>
#include <sys/shm.h>

#include <climits>

namespace torvane {

SharedMemoryBitmap::SharedMemoryBitmap(int width, int height) noexcept { SetSize(width, height); }

SharedMemoryBitmap::~SharedMemoryBitmap() { Release(); }

bool SharedMemoryBitmap::SetSize(int width, int height) noexcept {
  if (width == width_ && height == height_) return false;
  const bool positive = width > 0 && height > 0;
  if (positive && pixels_ && width <= allocatedWidth_ && height <= allocatedHeight_) {
    width_ = width;
    height_ = height;
    return true;
  }
  Release();
  if (!positive) return false;
  if (width > INT_MAX - 3) return true;  // no surface can be that wide

  const int pitch = (width + 3) & ~3;
  const size_t bytes = static_cast<size_t>(pitch) * static_cast<size_t>(height) * sizeof(uint32_t);
  const int id = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
  if (id < 0) return true;
  void* address = shmat(id, nullptr, 0);
  // Linux lets the X server attach a segment marked for removal; the mark
  // makes sure no segment outlives us and the server.
  shmctl(id, IPC_RMID, nullptr);
  if (address == reinterpret_cast<void*>(-1)) return true;
  pixels_ = static_cast<uint32_t*>(address);
  segmentId_ = id;
  width_ = width;
  height_ = height;
  allocatedWidth_ = pitch;
  allocatedHeight_ = height;
  return true;
}

void SharedMemoryBitmap::Release() noexcept {
  if (pixels_) shmdt(pixels_);
  pixels_ = nullptr;
  segmentId_ = -1;
  width_ = height_ = allocatedWidth_ = allocatedHeight_ = 0;
}

}  // namespace torvane
