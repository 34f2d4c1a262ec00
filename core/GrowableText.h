#pragma once

#include "core/GrowableBuffer.h"

namespace torvane {

// A NUL-terminated text of any length, in a buffer that grows in steps of 128 bytes.
class GrowableText {
 public:
  GrowableText() noexcept : buffer_(128) {}
  explicit GrowableText(const char* text) noexcept : GrowableText() { Set(text); }

  // Copies text up to maxLength characters or its first NUL (maxLength < 0: no limit).
  // Returns false, keeping the old text, when memory runs out.
  bool Set(const char* text, int maxLength = -1) noexcept;
  bool Append(const char* text) noexcept;
  const char* Get() const noexcept;
  int Length() const noexcept;

 private:
  GrowableBuffer buffer_;
};

}  // namespace torvane
