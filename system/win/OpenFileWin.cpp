#include "system/win/WindowsApi.h"

#include "system/OpenFile.h"

namespace torvane {

namespace {
// The longest name, in UTF-16 units with the terminator, that gets converted.
constexpr int kMaxWideName = 2048;
}  // namespace

std::FILE* OpenFileForReading(const char* utf8Path) noexcept {
  if (!utf8Path) return nullptr;
  wchar_t wide[kMaxWideName];
  if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8Path, -1, wide, kMaxWideName) > 0) {
    return _wfopen(wide, L"rb");
  }
  return std::fopen(utf8Path, "rb");
}

}  // namespace torvane
