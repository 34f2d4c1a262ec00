#include "editor/IGraphicsPortable.h"

#include "raster/PngLoader.h"
#include "system/FolderTexts.h"
#include "system/ModuleHandle.h"

namespace torvane {

// No box can be shown: the answer is the one a failed message box gives.
int IGraphicsPortable::ShowMessage(const char* /*text*/, const char* /*caption*/, int /*type*/) { return 0; }

IPopupMenu* IGraphicsPortable::ShowPopupMenu(IPopupMenu& /*menu*/, const IBounds& /*rect*/) {
  CancelCapture();
  return nullptr;
}

void IGraphicsPortable::HostExecutablePath(GrowableText& out) { ProgramFolderText(out); }

void IGraphicsPortable::ModulePath(GrowableText& out) { ModuleFolderText(out); }

void IGraphicsPortable::DesktopFolder(GrowableText& out) { UserFolderText(UserFolder::Desktop, out); }

void IGraphicsPortable::DocumentsFolder(GrowableText& out) { DocumentsFolderText(out); }

void IGraphicsPortable::AppDataFolder(GrowableText& out, bool common) {
  UserFolderText(common ? UserFolder::CommonAppData : UserFolder::LocalAppData, out);
}

void IGraphicsPortable::AskForFile(GrowableText& fileName, int /*action*/, GrowableText& /*folder*/,
                                   const char* /*extensions*/) {
  fileName.Set("");
}

bool IGraphicsPortable::AskForColour(IArgb& /*colour*/, const char* /*prompt*/) { return false; }

bool IGraphicsPortable::OpenAddress(const char* /*address*/, const char* /*caption*/, const char* /*confirmText*/,
                                    const char* /*errorText*/) {
  return false;
}

bool IGraphicsPortable::ReadClipboardText(GrowableText& out) {
  out.Set("");
  return false;
}

std::unique_ptr<IRasterBitmap> IGraphicsPortable::LoadPlatformImage(int resourceId, const char* resourceName) {
  if (!NamesPngImage(resourceName)) return nullptr;
  return LoadPngResource(ThisModule(), resourceId);
}

bool IGraphicsPortable::PlatformImageSize(int resourceId, const char* resourceName, int& width, int& height) {
  return NamesPngImage(resourceName) && PngResourceSize(ThisModule(), resourceId, width, height);
}

}  // namespace torvane
