#include "platform/headless/IGraphicsHeadless.h"

#include "platform/FolderTexts.h"
#include "platform/ModuleHandle.h"
#include "raster/PngLoader.h"

namespace torvane {

bool IGraphicsHeadless::PresentArea(const IBounds& /*area*/) { return true; }

// No box can be shown: the answer is the one a failed message box gives.
int IGraphicsHeadless::ShowMessage(const char* /*text*/, const char* /*caption*/, int /*type*/) { return 0; }

IPopupMenu* IGraphicsHeadless::ShowPopupMenu(IPopupMenu& /*menu*/, const IBounds& /*rect*/) {
  CancelCapture();
  return nullptr;
}

void IGraphicsHeadless::OpenTextEntry(IControl* /*control*/, const ITextStyle& /*style*/, const IBounds& /*rect*/,
                                      const char* /*text*/, IParameter* /*parameter*/) {}

void IGraphicsHeadless::HostExecutablePath(GrowableText& out) { ProgramFolderText(out); }

void IGraphicsHeadless::ModulePath(GrowableText& out) { ModuleFolderText(out); }

void IGraphicsHeadless::DesktopFolder(GrowableText& out) { UserFolderText(UserFolder::Desktop, out); }

void IGraphicsHeadless::UseDocumentsFolder(const char* folder) noexcept {
  ownDocumentsFolder_ = true;
  documentsFolder_.Set(folder ? folder : "");
}

void IGraphicsHeadless::DocumentsFolder(GrowableText& out) {
  if (ownDocumentsFolder_) {
    out.Set(documentsFolder_.Get());
    return;
  }
  DocumentsFolderText(out);
}

void IGraphicsHeadless::AppDataFolder(GrowableText& out, bool common) {
  UserFolderText(common ? UserFolder::CommonAppData : UserFolder::LocalAppData, out);
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
