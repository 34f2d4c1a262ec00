#include "core/GrowableBuffer.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace torvane {

namespace {
constexpr int64_t kPage = 4096;
// Keeps a large allocation plus the allocator's own header inside whole pages.
constexpr int64_t kAllocatorHeader = 96;
constexpr int64_t kLargestGrowth = 4194304;
}  // namespace

GrowableBuffer::GrowableBuffer(int step) noexcept : step_(step > 0 ? step : kDefaultStep) {}

GrowableBuffer::~GrowableBuffer() { std::free(data_); }

void* GrowableBuffer::Resize(int n, bool allowShrink) noexcept {
  n = std::max(n, 0);
  if (n == size_ && !(allowShrink && n < capacity_ / 2)) return data_;

  int shrinkLimit = 0;
  if (allowShrink && n < size_) {
    shrinkLimit = std::max(1, std::min(capacity_ / 2, capacity_ - 4 * step_));
  }
  if (capacity_ < n || n < shrinkLimit) {
    if (!Reallocate(n)) return data_;
  }
  size_ = n;
  return data_;
}

bool GrowableBuffer::Reallocate(int n) noexcept {
  if (n == 0) {
    std::free(data_);
    data_ = nullptr;
    capacity_ = 0;
    return true;
  }
  int64_t growth = std::max<int64_t>(n / 2, step_);
  int64_t capacity;
  if (step_ >= kPage) {
    growth = std::clamp(growth / kPage * kPage, kPage, kLargestGrowth);
    capacity = (n + kAllocatorHeader + growth) / kPage * kPage - kAllocatorHeader;
  } else {
    capacity = n + growth;
  }
  if (capacity > INT_MAX) return false;

  void* grown = std::realloc(data_, static_cast<size_t>(capacity));
  if (!grown) return false;
  data_ = grown;
  capacity_ = static_cast<int>(capacity);
  return true;
}

void* GrowableBuffer::ResizeZeroFilled(int n) noexcept {
  const int oldSize = size_;
  Resize(n, true);
  if (size_ > oldSize) std::memset(static_cast<char*>(data_) + oldSize, 0, size_ - oldSize);
  return data_;
}

}  // namespace torvane
