#include "system/win/WindowsApi.h"

#include "system/ModuleResources.h"

namespace torvane {

ResourceBytes FindPngResource(void* module, int id) noexcept {
  const HMODULE handle = static_cast<HMODULE>(module);
  // Integer resource names are 16 bits wide.
  const HRSRC resource = FindResourceA(handle, MAKEINTRESOURCEA(static_cast<WORD>(id)), "PNG");
  if (!resource) return {nullptr, 0};
  const DWORD size = SizeofResource(handle, resource);
  const HGLOBAL loaded = LoadResource(handle, resource);
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data) return {nullptr, 0};
  return {static_cast<const unsigned char*>(data), size};
}

}  // namespace torvane
