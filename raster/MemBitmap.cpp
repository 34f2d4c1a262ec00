#include "raster/MemBitmap.h"

#include <climits>
#include <cstdlib>

namespace torvane {

namespace {
// Pixel rows start on a cache line; the storage carries this much slack so
// that the aligned start always fits.
constexpr uintptr_t kRowAlignment = 64;
constexpr int64_t kAlignmentSlack = kRowAlignment - 1;
}  // namespace

MemBitmap::MemBitmap(int width, int height) noexcept {
  if (width > 0 && height > 0) SetSize(width, height);
}

MemBitmap::~MemBitmap() { Release(); }

uint32_t* MemBitmap::PixelBuffer() const noexcept {
  if (!storage_) return nullptr;
  const uintptr_t aligned =
      (reinterpret_cast<uintptr_t>(storage_) + kRowAlignment - 1) & ~(kRowAlignment - 1);
  return reinterpret_cast<uint32_t*>(aligned);
}

bool MemBitmap::SetSize(int width, int height) noexcept {
  if (width == width_ && height == height_) return false;
  // A negative side must not multiply with another negative one into a size,
  // and a width near INT_MAX must not overflow the row pitch.
  const bool fits = width > 0 && height > 0 && width <= INT_MAX - kRowAlignMask;
  const int64_t bytes = fits ? static_cast<int64_t>(height) * PitchFor(width) * 4 : 0;
  if (bytes > 0 && Reserve(bytes)) {
    width_ = width;
    height_ = height;
  } else {
    Release();
    width_ = 0;
    height_ = 0;
  }
  return true;
}

// Makes room for `bytes` bytes of pixels behind the aligned start.
bool MemBitmap::Reserve(int64_t bytes) noexcept {
  // The aligned start may lie up to the slack beyond the storage pointer, so
  // only the allocation minus the slack is usable whatever the pointer is.
  if (storage_ && allocatedBytes_ - kAlignmentSlack >= bytes) return true;
  if (storage_) {
    const int64_t grown = bytes * 5 / 4 + kAlignmentSlack;
    if (grown <= INT_MAX) {
      if (void* moved = std::realloc(storage_, static_cast<size_t>(grown))) {
        storage_ = moved;
        allocatedBytes_ = static_cast<int>(grown);
        return true;
      }
    }
    Release();
  }
  const int64_t fresh = bytes + kAlignmentSlack;
  if (fresh > INT_MAX) return false;
  storage_ = std::malloc(static_cast<size_t>(fresh));
  if (!storage_) return false;
  allocatedBytes_ = static_cast<int>(fresh);
  return true;
}

void MemBitmap::Release() noexcept {
  std::free(storage_);
  storage_ = nullptr;
  allocatedBytes_ = 0;
}

}  // namespace torvane
