#pragma once

#include "core/GrowableText.h"
#include "editor/IGraphicsPortable.h"

namespace torvane {

// The editor without a window: it paints into its surface and presents
// nothing, opens no window, box, menu or dialog, and loads the images from
// the module's resources. Used by tests, by off-screen rendering of the
// editor, and by platforms without a window layer. Owned like any IGraphics;
// window-thread operations run on whichever thread drives it.
class IGraphicsHeadless : public IGraphicsPortable {
 public:
  using IGraphicsPortable::IGraphicsPortable;

  // Tests and tools keep the editor's settings in a folder of their own:
  // DocumentsFolder gives this one from now on instead of the user's. An empty
  // text means there is none, so that nothing is kept at all.
  void UseDocumentsFolder(const char* folder) noexcept;

  bool PresentArea(const IBounds& area) override;
  void CancelTextEntry() override {}
  const char* BackendName() const override { return "Headless"; }
  void OpenTextEntry(IControl* control, const ITextStyle& style, const IBounds& rect, const char* text,
                     IParameter* parameter) override;
  void DocumentsFolder(GrowableText& out) override;
  // There is no window to open: the host is not told of an editor, and is
  // told it did not open when it asks all the same.
  bool HasWindow() const override { return false; }
  bool OpenEditorWindow(void* parentWindow) override;
  void CloseEditorWindow() override {}
  // No window, no pointer to shape.
  void SetCursorShape(SystemCursor /*cursor*/) override {}
  void* WindowHandle() const override { return nullptr; }

 private:
  bool ownDocumentsFolder_ = false;
  GrowableText documentsFolder_;
};

}  // namespace torvane
