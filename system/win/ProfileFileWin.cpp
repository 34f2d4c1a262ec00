#include "system/ProfileFile.h"
#include "system/win/WindowsApi.h"

#include <shlobj.h>

#include <algorithm>
#include <cstring>

namespace torvane {

bool ReadProfileValue(const char* path, const char* section, const char* key, const char* defaultText, char* out,
                       size_t capacity) noexcept {
  if (!out || capacity == 0) return false;
  if (!path || !section || !key || capacity > 0x7fffffff) {
    std::strncpy(out, defaultText ? defaultText : "", capacity - 1);
    out[capacity - 1] = '\0';
    return false;
  }
  // A marker no real value holds tells a missing key from one equal to the default.
  static const char kMissing[] = "\x01missing\x01";
  GetPrivateProfileStringA(section, key, kMissing, out, static_cast<DWORD>(capacity), path);
  // A small buffer receives the marker cut short.
  if (std::strncmp(out, kMissing, std::min(capacity - 1, sizeof kMissing - 1)) != 0) return true;
  std::strncpy(out, defaultText ? defaultText : "", capacity - 1);
  out[capacity - 1] = '\0';
  return false;
}

bool WriteProfileValue(const char* path, const char* section, const char* key, const char* value) noexcept {
  if (!path || !section || !key || !value) return false;
  return WritePrivateProfileStringA(section, key, value, path) != 0;
}

bool CreateFolder(const char* path) noexcept {
  if (!path || !*path) return false;
  if (CreateDirectoryA(path, nullptr)) return true;
  const DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool DocumentsFolder(char* out, size_t capacity) noexcept {
  char folder[MAX_PATH] = {};
  if (!out || FAILED(SHGetFolderPathA(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, folder))) return false;
  const size_t length = std::strlen(folder);
  if (length == 0 || length >= capacity) return false;
  std::memcpy(out, folder, length + 1);
  return true;
}

}  // namespace torvane
