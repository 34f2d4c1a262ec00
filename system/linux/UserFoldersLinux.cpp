#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "system/UserFolders.h"

namespace torvane {

namespace {

bool Copy(const char* path, char* out, size_t capacity) noexcept {
  const size_t length = std::strlen(path);
  if (length == 0 || length >= capacity) return false;
  std::memcpy(out, path, length + 1);
  return true;
}

// $variable when it is set to an absolute path, else $HOME/fallback.
bool XdgFolder(const char* variable, const char* fallback, char* out, size_t capacity) noexcept {
  const char* value = std::getenv(variable);
  if (value && value[0] == '/') return Copy(value, out, capacity);
  const char* home = std::getenv("HOME");
  if (!home || home[0] != '/') return false;
  const int length = std::snprintf(out, capacity, "%s/%s", home, fallback);
  return length > 0 && static_cast<size_t>(length) < capacity;
}

}  // namespace

bool FindUserFolder(UserFolder folder, char* out, size_t capacity) noexcept {
  if (!out || capacity == 0) return false;
  switch (folder) {
    case UserFolder::Desktop: return XdgFolder("XDG_DESKTOP_DIR", "Desktop", out, capacity);
    case UserFolder::LocalAppData: return XdgFolder("XDG_DATA_HOME", ".local/share", out, capacity);
    case UserFolder::CommonAppData: return Copy("/usr/local/share", out, capacity);
  }
  return false;
}

}  // namespace torvane
