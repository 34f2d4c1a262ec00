#pragma once

#include <type_traits>

#include "core/GrowableBuffer.h"

namespace torvane {

// A typed view of a GrowableBuffer for plain values (samples, pointers, records).
// A failed growth keeps the old elements; Add reports it by returning false.
template <typename T>
class GrowableArray {
  static_assert(std::is_trivially_copyable<T>::value, "elements are moved as bytes");

 public:
  explicit GrowableArray(int stepBytes = GrowableBuffer::kDefaultStep) noexcept : buffer_(stepBytes) {}

  int Count() const noexcept { return buffer_.Size() / static_cast<int>(sizeof(T)); }
  T* Data() noexcept { return static_cast<T*>(buffer_.Data()); }
  const T* Data() const noexcept { return static_cast<const T*>(buffer_.Data()); }
  T& operator[](int i) noexcept { return Data()[i]; }
  const T& operator[](int i) const noexcept { return Data()[i]; }

  // Resizes to count elements, new ones zeroed; true when the size was reached.
  bool ResizeZeroFilled(int count) noexcept {
    if (count < 0 || count > kMaxCount) return false;
    buffer_.ResizeZeroFilled(count * static_cast<int>(sizeof(T)));
    return Count() == count;
  }

  bool Add(const T& value) noexcept {
    const int count = Count();
    if (count >= kMaxCount) return false;
    buffer_.Resize((count + 1) * static_cast<int>(sizeof(T)), false);
    if (Count() != count + 1) return false;
    Data()[count] = value;
    return true;
  }

  void Clear() noexcept { buffer_.Resize(0); }

 private:
  static constexpr int kMaxCount = 0x7fffffff / static_cast<int>(sizeof(T));
  GrowableBuffer buffer_;
};

}  // namespace torvane
