#include "core/GrowableText.h"

#include <cstring>

namespace torvane {

bool GrowableText::Set(const char* text, int maxLength) noexcept {
  int length = 0;
  if (text) {
    while ((maxLength < 0 || length < maxLength) && text[length] != '\0') ++length;
  }
  if (length == 0) {
    buffer_.Resize(0);
    return true;
  }
  char* data = static_cast<char*>(buffer_.Resize(length + 1));
  if (buffer_.Size() != length + 1) return false;
  std::memmove(data, text, length);
  data[length] = '\0';
  return true;
}

bool GrowableText::Append(const char* text) noexcept {
  if (!text || !*text) return true;
  const int oldLength = Length();
  const int added = static_cast<int>(std::strlen(text));
  char* data = static_cast<char*>(buffer_.Resize(oldLength + added + 1, false));
  if (buffer_.Size() != oldLength + added + 1) return false;
  std::memcpy(data + oldLength, text, added);
  data[oldLength + added] = '\0';
  return true;
}

const char* GrowableText::Get() const noexcept {
  return buffer_.Size() > 0 ? static_cast<const char*>(buffer_.Data()) : "";
}

int GrowableText::Length() const noexcept { return buffer_.Size() > 0 ? buffer_.Size() - 1 : 0; }

}  // namespace torvane
