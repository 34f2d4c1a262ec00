#include "system/FolderTexts.h"

#include <cstring>

#include "system/ModuleHandle.h"
#include "system/ProfileFile.h"

namespace torvane {

namespace {

constexpr size_t kPathBytes = 4096;

void SetFolderOf(const char* path, bool found, GrowableText& out) noexcept {
  const char* slash = found ? std::strrchr(path, '/') : nullptr;
  const char* backslash = found ? std::strrchr(path, '\\') : nullptr;
  const char* last = slash > backslash ? slash : backslash;
  if (!last || last[1] == '\0') {
    out.Set("");
    return;
  }
  out.Set(path, static_cast<int>(last - path + 1));
}

}  // namespace

void ProgramFolderText(GrowableText& out) noexcept {
  char path[kPathBytes] = "";
  SetFolderOf(path, ProgramPath(path, sizeof(path)), out);
}

void ModuleFolderText(GrowableText& out) noexcept {
  char path[kPathBytes] = "";
  SetFolderOf(path, ThisModulePath(path, sizeof(path)), out);
}

void DocumentsFolderText(GrowableText& out) noexcept {
  char path[kPathBytes] = "";
  out.Set(DocumentsFolder(path, sizeof(path)) ? path : "");
}

void UserFolderText(UserFolder folder, GrowableText& out) noexcept {
  char path[kPathBytes] = "";
  out.Set(FindUserFolder(folder, path, sizeof(path)) ? path : "");
}

}  // namespace torvane
