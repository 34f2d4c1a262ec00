#pragma once

#include "editor/IGraphics.h"

namespace torvane {

// The editor's services that need no window system: the folders come from
// the system layer, the images from the module's PNG resources, and there is
// no message box, menu, file or colour dialog, link or clipboard to offer.
// The headless editor and the X11 window stand on it; owned like any
// IGraphics, its calls run on whichever thread drives the editor.
class IGraphicsPortable : public IGraphics {
 public:
  using IGraphics::IGraphics;

  int ShowMessage(const char* text, const char* caption, int type) override;
  IPopupMenu* ShowPopupMenu(IPopupMenu& menu, const IBounds& rect) override;
  void HostExecutablePath(GrowableText& out) override;
  void ModulePath(GrowableText& out) override;
  void DesktopFolder(GrowableText& out) override;
  void DocumentsFolder(GrowableText& out) override;
  void AppDataFolder(GrowableText& out, bool common = false) override;
  void AskForFile(GrowableText& fileName, int action, GrowableText& folder, const char* extensions) override;
  bool AskForColour(IArgb& colour, const char* prompt) override;
  bool OpenAddress(const char* address, const char* caption, const char* confirmText,
                   const char* errorText) override;
  bool ReadClipboardText(GrowableText& out) override;
  std::unique_ptr<IRasterBitmap> LoadPlatformImage(int resourceId, const char* resourceName) override;
  bool PlatformImageSize(int resourceId, const char* resourceName, int& width, int& height) override;
};

}  // namespace torvane
