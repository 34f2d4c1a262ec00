#include "platform/linux/SharedMemoryBitmap.h"

#include <sys/ipc.h>
#include <sys/shm.h>

namespace torvane {

SharedMemoryBitmap::SharedMemoryBitmap(int width, int height) noexcept { SetSize(width, height); }

SharedMemoryBitmap::~SharedMemoryBitmap() { ReleasePixels(); }

uint32_t* SharedMemoryBitmap::AllocatePixels(int pitch, int rows) noexcept {
  const size_t bytes = static_cast<size_t>(pitch) * static_cast<size_t>(rows) * sizeof(uint32_t);
  const int id = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
  if (id < 0) return nullptr;
  void* address = shmat(id, nullptr, 0);
  // Linux lets the X server attach a segment marked for removal; the mark
  // makes sure no segment outlives us and the server.
  shmctl(id, IPC_RMID, nullptr);
  if (address == reinterpret_cast<void*>(-1)) return nullptr;
  segmentId_ = id;
  return static_cast<uint32_t*>(address);
}

void SharedMemoryBitmap::FreePixels(uint32_t* pixels) noexcept {
  shmdt(pixels);
  segmentId_ = -1;
}

}  // namespace torvane
