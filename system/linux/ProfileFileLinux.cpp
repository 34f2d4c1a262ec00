#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

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
// reader in another instance never sees it half written.
bool ReplaceFile(const char* path, const GrowableBuffer& contents) {
  char temporary[4096];
  if (std::snprintf(temporary, sizeof temporary, "%s.%ld.tmp", path, static_cast<long>(getpid())) >=
      static_cast<int>(sizeof temporary)) {
    return false;
  }
  std::FILE* file = std::fopen(temporary, "wb");
  if (!file) return false;
  const size_t size = static_cast<size_t>(contents.Size());
  bool ok = std::fwrite(contents.Data(), 1, size, file) == size;
  ok = std::fclose(file) == 0 && ok;
  ok = ok && std::rename(temporary, path) == 0;
  if (!ok) std::remove(temporary);
  return ok;
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
  const char* documents = std::getenv("XDG_DOCUMENTS_DIR");
  int written;
  if (documents && *documents) {
    written = std::snprintf(out, capacity, "%s", documents);
  } else {
    const char* home = std::getenv("HOME");
    if (!home || !*home) {
      const passwd* user = getpwuid(getuid());
      home = user ? user->pw_dir : nullptr;
    }
    if (!home || !*home) return false;
    written = std::snprintf(out, capacity, "%s/Documents", home);
  }
  if (written <= 0 || static_cast<size_t>(written) >= capacity) return false;
  // Without a trailing separator, as the Windows shell gives it.
  for (size_t end = static_cast<size_t>(written); end > 1 && out[end - 1] == '/'; --end) out[end - 1] = '\0';
  return true;
}

}  // namespace torvane
