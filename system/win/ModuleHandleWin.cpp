#include <atomic>

#include "system/ModuleHandle.h"
#include "system/win/WindowsApi.h"

namespace torvane {

namespace {
std::atomic<HMODULE> rememberedModule{nullptr};

// The module holding this function: the DLL when linked into it, the program otherwise.
HMODULE ModuleOfThisCode() noexcept {
  HMODULE module = nullptr;
  GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCSTR>(&ModuleOfThisCode), &module);
  return module;
}
}  // namespace

void RememberModule(void* module) noexcept { rememberedModule = static_cast<HMODULE>(module); }

void* ThisModule() noexcept {
  HMODULE module = rememberedModule;
  return module ? module : ModuleOfThisCode();
}

bool ThisModulePath(char* out, size_t capacity) noexcept {
  if (!out || capacity == 0 || capacity > 0x7fffffff) return false;
  const DWORD length = GetModuleFileNameA(static_cast<HMODULE>(ThisModule()), out, static_cast<DWORD>(capacity));
  // A name that did not fit comes back cut to the buffer's size.
  return length > 0 && length < capacity;
}

bool ProgramPath(char* out, size_t capacity) noexcept {
  if (!out || capacity == 0 || capacity > 0x7fffffff) return false;
  const DWORD length = GetModuleFileNameA(nullptr, out, static_cast<DWORD>(capacity));
  return length > 0 && length < capacity;
}

}  // namespace torvane
