#pragma once

#include <cstddef>

namespace torvane {

// The module this code is linked into: the plug-in library (Torvane.dll or
// Torvane.so) inside a host, or the program itself in tests and tools. On
// Windows it is the HMODULE whose resources hold the editor's images; the
// library's entry captures it when the DLL is loaded, and code linked into a
// program finds it from its own address. On Linux the images are built into
// the code and the handle is null. Read from any thread.
void* ThisModule() noexcept;

// Called once by the Windows library entry when the DLL is loaded.
void RememberModule(void* module) noexcept;

// Writes the full path of the module's file into out; false when it is not
// known or does not fit.
bool ThisModulePath(char* out, size_t capacity) noexcept;

// Writes the full path of the running program's file (the host, in a plug-in)
// into out; false when it is not known or does not fit.
bool ProgramPath(char* out, size_t capacity) noexcept;

}  // namespace torvane
