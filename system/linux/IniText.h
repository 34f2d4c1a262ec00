#pragma once

#include <cstddef>

#include "core/GrowableBuffer.h"

namespace torvane {

// The text of a profile (INI) file, read and changed the way the Windows
// profile functions do it: section and key names compare without regard to
// case and to surrounding blanks, the first matching section and key win, and
// a value is the text after the first "=" without surrounding blanks. Lines
// end with LF or CR LF; a changed file keeps the line ends it used. Plain
// functions over bytes in memory, used by the Linux profile file.

// Copies the key's value into out (cut to fit); false when the section or the
// key is missing.
bool FindIniValue(const char* text, size_t length, const char* section, const char* key, char* out,
                  size_t capacity) noexcept;

// Writes into result the text with the key set to value: its line replaced, or
// a new line at the end of its section, or a new section at the end. False
// when memory runs out.
bool SetIniValue(const char* text, size_t length, const char* section, const char* key, const char* value,
                 GrowableBuffer& result) noexcept;

}  // namespace torvane
