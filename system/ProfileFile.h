#pragma once

#include <cstddef>

namespace torvane {

// Settings kept in a Windows-style profile (INI) file: "[section]" lines and
// "key=value" lines. On Windows the system's profile functions read and write
// it; elsewhere our own reader and writer do, with the same format. Several
// instances and processes may share a file without a lock: a write replaces
// the file whole, so a reader sees the old or the new contents, and the last
// writer wins. Called on the editor's window thread.

// Copies the value into out (cut to fit). A missing file, section or key
// gives defaultText; the result says whether the key was found.
bool ReadProfileValue(const char* path, const char* section, const char* key, const char* defaultText, char* out,
                       size_t capacity) noexcept;

// Sets the key, creating the file and the section when needed and keeping
// everything else in the file. False when the file cannot be written; a
// read-only file is left as it is, and a symbolic link is written through.
bool WriteProfileValue(const char* path, const char* section, const char* key, const char* value) noexcept;

// Creates one folder; false when it neither exists nor could be created.
bool CreateFolder(const char* path) noexcept;

// The user's documents folder, without a trailing separator; false when it
// is not known or does not fit. Windows: the shell's Documents folder; Linux:
// XDG_DOCUMENTS_DIR when set, else the one the user's user-dirs.dirs names,
// else ~/Documents.
bool DocumentsFolder(char* out, size_t capacity) noexcept;

}  // namespace torvane
