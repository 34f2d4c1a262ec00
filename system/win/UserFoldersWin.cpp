#include <cstring>

#include "system/UserFolders.h"
#include "system/win/WindowsApi.h"
// After windows.h, which it needs.
#include <shlobj.h>

namespace torvane {

bool FindUserFolder(UserFolder folder, char* out, size_t capacity) noexcept {
  if (!out || capacity == 0) return false;
  int id = CSIDL_DESKTOP;
  switch (folder) {
    case UserFolder::Desktop: id = CSIDL_DESKTOP; break;
    case UserFolder::LocalAppData: id = CSIDL_LOCAL_APPDATA; break;
    case UserFolder::CommonAppData: id = CSIDL_COMMON_APPDATA; break;
  }
  char path[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathA(nullptr, id, nullptr, SHGFP_TYPE_CURRENT, path))) return false;
  const size_t length = std::strlen(path);
  if (length == 0 || length >= capacity) return false;
  std::memcpy(out, path, length + 1);
  return true;
}

}  // namespace torvane
