#pragma once

#include <cstdio>

namespace torvane {

// Opens a file named in UTF-8 for binary reading; null when it cannot be opened.
// On Windows the name is converted to UTF-16 so that any character works, with
// the name taken as it is when it is not valid UTF-8.
std::FILE* OpenFileForReading(const char* utf8Path) noexcept;

}  // namespace torvane
