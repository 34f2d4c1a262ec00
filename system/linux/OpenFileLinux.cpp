#include "system/OpenFile.h"

namespace torvane {

// File names are bytes here; UTF-8 ones open as they are.
std::FILE* OpenFileForReading(const char* utf8Path) noexcept {
  return utf8Path ? std::fopen(utf8Path, "rb") : nullptr;
}

}  // namespace torvane
