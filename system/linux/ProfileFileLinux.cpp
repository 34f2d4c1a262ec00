#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "core/GrowableBuffer.h"
#include "system/ProfileFile.h"
#include "system/linux/IniText.h"

namespace torvane {

namespace {
// A settings file is a few lines; anything beyond this is not one of ours
// and is neither read whole nor rewritten.
constexpr long kLargestProfile = 1 << 20;

void CopyCut(const char* text, char* out, size_t capacity) {
  std::strncpy(out, text ? text : "", capacity - 1);
  out[capacity - 1] = '\0';
}

// The whole file, or false when it cannot be read (a missing file is empty).
bool ReadWholeFile(const char* path, GrowableBuffer& contents, bool& missing) {
  contents.Resize(0, false);
  std::FILE* file = std::fopen(path, "rb");
  missing = !file && errno == ENOENT;
  if (!file) return false;
  bool ok = std::fseek(file, 0, SEEK_END) == 0;
  const long size = ok ? std::ftell(file) : -1;
  ok = ok && size >= 0 && size <= kLargestProfile && std::fseek(file, 0, SEEK_SET) == 0;
  if (ok && size > 0) {
    ok = contents.Resize(static_cast<int>(size), false) && contents.Size() == size &&
         std::fread(contents.Data(), 1, static_cast<size_t>(size), file) == static_cast<size_t>(size);
  }
  std::fclose(file);
  return ok;
}

// Replaces the file whole through a temporary file beside it, so that a
// reader in another instance never sees it half written. A file the user
// made read-only stays as it is (false); a symbolic link is written through,
// replacing the file it names; the file keeps its permissions.
bool ReplaceFile(const char* path, const GrowableBuffer& contents) {
  char target[PATH_MAX];
  struct stat info;
  const bool exists = lstat(path, &info) == 0;
  if (exists && S_ISLNK(info.st_mode)) {
    if (!realpath(path, target) || stat(target, &info) != 0) return false;
    path = target;
  }
  // Without any write permission the file is read-only even for root,
  // whom access() lets through.
  constexpr mode_t kAnyWrite = S_IWUSR | S_IWGRP | S_IWOTH;
  if (exists && ((info.st_mode & kAnyWrite) == 0 || access(path, W_OK) != 0)) return false;
  char temporary[PATH_MAX + 32];
  if (std::snprintf(temporary, sizeof temporary, "%s.%ld.tmp", path, static_cast<long>(getpid())) >=
      static_cast<int>(sizeof temporary)) {
    return false;
  }
  std::FILE* file = std::fopen(temporary, "wb");
  if (!file) return false;
  const size_t size = static_cast<size_t>(contents.Size());
  bool ok = std::fwrite(contents.Data(), 1, size, file) == size;
  ok = std::fclose(file) == 0 && ok;
  if (ok && exists) chmod(temporary, info.st_mode & 07777);
  ok = ok && std::rename(temporary, path) == 0;
  if (!ok) std::remove(temporary);
  return ok;
}

// XDG_DOCUMENTS_DIR as the desktop's user-dirs.dirs names it:
// XDG_DOCUMENTS_DIR="$HOME/Dokumente" (relative to the home folder) or an
// absolute path in quotes; false when the file does not name it.
bool DocumentsFolderFromUserDirs(const char* home, char* out, size_t capacity) {
  char path[PATH_MAX];
  const char* config = std::getenv("XDG_CONFIG_HOME");
  const int length = config && config[0] == '/' ? std::snprintf(path, sizeof path, "%s/user-dirs.dirs", config)
                                                 : std::snprintf(path, sizeof path, "%s/.config/user-dirs.dirs", home);
  if (length <= 0 || static_cast<size_t>(length) >= sizeof path) return false;
  std::FILE* file = std::fopen(path, "r");
  if (!file) return false;
  static const char kKey[] = "XDG_DOCUMENTS_DIR=\"";
  static const char kHome[] = "$HOME";
  char line[PATH_MAX + 64];
  bool found = false;
  while (!found && std::fgets(line, sizeof line, file)) {
    const char* p = line;
    while (*p == ' ' || *p == '\t') ++p;
    if (std::strncmp(p, kKey, sizeof kKey - 1) != 0) continue;
    p += sizeof kKey - 1;
    const char* close = std::strchr(p, '"');
    if (!close) continue;
    const std::string_view value(p, static_cast<size_t>(close - p));
    int written = 0;
    if (value.compare(0, sizeof kHome - 1, kHome) == 0 &&
        (value.size() == sizeof kHome - 1 || value[sizeof kHome - 1] == '/')) {
      const std::string_view rest = value.substr(sizeof kHome - 1);
      written = std::snprintf(out, capacity, "%s%.*s", home, static_cast<int>(rest.size()), rest.data());
    } else if (!value.empty() && value[0] == '/') {
      written = std::snprintf(out, capacity, "%.*s", static_cast<int>(value.size()), value.data());
    } else {
      continue;
    }
    found = written > 0 && static_cast<size_t>(written) < capacity;
  }
  std::fclose(file);
  return found;
}
}  // namespace

bool ReadProfileValue(const char* path, const char* section, const char* key, const char* defaultText, char* out,
                       size_t capacity) noexcept {
  if (!out || capacity == 0) return false;
  GrowableBuffer contents;
  bool missing = false;
  if (path && section && key && ReadWholeFile(path, contents, missing) &&
      FindIniValue(static_cast<const char*>(contents.Data()), static_cast<size_t>(contents.Size()), section, key, out,
                   capacity)) {
    return true;
  }
  CopyCut(defaultText, out, capacity);
  return false;
}

bool WriteProfileValue(const char* path, const char* section, const char* key, const char* value) noexcept {
  if (!path || !section || !key || !value) return false;
  GrowableBuffer contents;
  bool missing = false;
  if (!ReadWholeFile(path, contents, missing) && !missing) return false;
  GrowableBuffer changed;
  return SetIniValue(static_cast<const char*>(contents.Data()), static_cast<size_t>(contents.Size()), section, key,
                     value, changed) &&
         ReplaceFile(path, changed);
}

bool CreateFolder(const char* path) noexcept {
  if (!path || !*path) return false;
  if (mkdir(path, 0755) == 0) return true;
  struct stat info;
  return errno == EEXIST && stat(path, &info) == 0 && S_ISDIR(info.st_mode);
}

bool DocumentsFolder(char* out, size_t capacity) noexcept {
  if (!out || capacity == 0) return false;
  // The desktop's order: the environment, the user's user-dirs.dirs, the
  // usual name below the home folder.
  const char* documents = std::getenv("XDG_DOCUMENTS_DIR");
  int written = 0;
  if (documents && *documents) {
    written = std::snprintf(out, capacity, "%s", documents);
  } else {
    const char* home = std::getenv("HOME");
    if (!home || !*home) {
      const passwd* user = getpwuid(getuid());
      home = user ? user->pw_dir : nullptr;
    }
    if (!home || !*home) return false;
    if (DocumentsFolderFromUserDirs(home, out, capacity)) {
      written = static_cast<int>(std::strlen(out));
    } else {
      written = std::snprintf(out, capacity, "%s/Documents", home);
    }
  }
  if (written <= 0 || static_cast<size_t>(written) >= capacity) return false;
  // Without a trailing separator, as the Windows shell gives it.
  for (size_t end = static_cast<size_t>(written); end > 1 && out[end - 1] == '/'; --end) out[end - 1] = '\0';
  return true;
}

}  // namespace torvane
