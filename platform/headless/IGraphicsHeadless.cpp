#include "platform/headless/IGraphicsHeadless.h"

#include <cstring>

#include "platform/ModuleHandle.h"
#include "platform/ProfileFile.h"
#include "platform/UserFolders.h"
#include "raster/PngLoader.h"

namespace torvane {

namespace {

constexpr size_t kPathBytes = 4096;

// The folder part of a file path, with its trailing separator; empty when
// there is none or the path names no file.
void SetFolderOf(const char* path, bool found, GrowableText& out) {
  const char* slash = found ? std::strrchr(path, '/') : nullptr;
  const char* backslash = found ? std::strrchr(path, '\\') : nullptr;
  const char* last = slash > backslash ? slash : backslash;
  if (!last || last[1] == '\0') {
    out.Set("");
    return;
  }
  out.Set(path, static_cast<int>(last - path + 1));
}

void SetUserFolder(UserFolder folder, GrowableText& out) {
  char path[kPathBytes] = "";
  out.Set(FindUserFolder(folder, path, sizeof(path)) ? path : "");
}

}  // namespace

bool IGraphicsHeadless::PresentArea(const IBounds& /*area*/) { return true; }

// No box can be shown: the answer is the one a failed message box gives.
int IGraphicsHeadless::ShowMessage(const char* /*text*/, const char* /*caption*/, int /*type*/) { return 0; }

IPopupMenu* IGraphicsHeadless::ShowPopupMenu(IPopupMenu& /*menu*/, const IBounds& /*rect*/) {
  CancelCapture();
  return nullptr;
}

void IGraphicsHeadless::OpenTextEntry(IControl* /*control*/, const ITextStyle& /*style*/, const IBounds& /*rect*/,
                                      const char* /*text*/, IParameter* /*parameter*/) {}

void IGraphicsHeadless::HostExecutablePath(GrowableText& out) {
  char path[kPathBytes] = "";
  SetFolderOf(path, ProgramPath(path, sizeof(path)), out);
}

void IGraphicsHeadless::ModulePath(GrowableText& out) {
  char path[kPathBytes] = "";
  SetFolderOf(path, ThisModulePath(path, sizeof(path)), out);
}

void IGraphicsHeadless::DesktopFolder(GrowableText& out) { SetUserFolder(UserFolder::Desktop, out); }

void IGraphicsHeadless::UseDocumentsFolder(const char* folder) noexcept {
  ownDocumentsFolder_ = true;
  documentsFolder_.Set(folder ? folder : "");
}

void IGraphicsHeadless::DocumentsFolder(GrowableText& out) {
  if (ownDocumentsFolder_) {
    out.Set(documentsFolder_.Get());
    return;
  }
  char path[kPathBytes] = "";
  out.Set(torvane::DocumentsFolder(path, sizeof(path)) ? path : "");
}

void IGraphicsHeadless::AppDataFolder(GrowableText& out, bool common) {
  SetUserFolder(common ? UserFolder::CommonAppData : UserFolder::LocalAppData, out);
}

void IGraphicsHeadless::AskForFile(GrowableText& fileName, int /*action*/, GrowableText& /*folder*/,
                                   const char* /*extensions*/) {
  fileName.Set("");
}

bool IGraphicsHeadless::AskForColour(IArgb& /*colour*/, const char* /*prompt*/) { return false; }

bool IGraphicsHeadless::OpenAddress(const char* /*address*/, const char* /*caption*/, const char* /*confirmText*/,
                                    const char* /*errorText*/) {
  return false;
}

bool IGraphicsHeadless::OpenEditorWindow(void* /*parentWindow*/) { return false; }

bool IGraphicsHeadless::ReadClipboardText(GrowableText& out) {
  out.Set("");
  return false;
}

std::unique_ptr<IRasterBitmap> IGraphicsHeadless::LoadPlatformImage(int resourceId, const char* resourceName) {
  if (!NamesPngImage(resourceName)) return nullptr;
  return LoadPngResource(ThisModule(), resourceId);
}

bool IGraphicsHeadless::PlatformImageSize(int resourceId, const char* resourceName, int& width, int& height) {
  return NamesPngImage(resourceName) && PngResourceSize(ThisModule(), resourceId, width, height);
}

}  // namespace torvane
