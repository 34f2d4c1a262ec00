#pragma once

namespace torvane {

// The byte buffer under every list, array, text, chunk and scratch buffer of the
// plug-in. It grows in generous steps so that appending is cheap, shrinks only
// when asked to, and never loses its contents when memory runs out: callers
// detect a failed resize by the size, which then stays what it was.
// Owned by whoever holds it; not thread-safe.
class GrowableBuffer {
 public:
  static constexpr int kDefaultStep = 4096;

  explicit GrowableBuffer(int step = kDefaultStep) noexcept;
  ~GrowableBuffer();
  GrowableBuffer(const GrowableBuffer&) = delete;
  GrowableBuffer& operator=(const GrowableBuffer&) = delete;

  // Resizes to n bytes (negative counts as 0); returns the data, or null when
  // the buffer is empty or the allocation failed.
  void* Resize(int n, bool allowShrink = true) noexcept;
  // Resizes with shrinking allowed and fills the bytes that were added with zeros.
  void* ResizeZeroFilled(int n) noexcept;

  void* Data() noexcept { return data_; }
  const void* Data() const noexcept { return data_; }
  int Size() const noexcept { return size_; }
  int Capacity() const noexcept { return capacity_; }

 private:
  bool Reallocate(int n) noexcept;

  void* data_ = nullptr;
  int capacity_ = 0;
  int size_ = 0;
  int step_;
};

}  // namespace torvane
