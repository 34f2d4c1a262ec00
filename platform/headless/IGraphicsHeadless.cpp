#include "platform/headless/IGraphicsHeadless.h"

namespace torvane {

bool IGraphicsHeadless::PresentArea(const IBounds& /*area*/) { return true; }

void IGraphicsHeadless::OpenTextEntry(IControl* /*control*/, const ITextStyle& /*style*/, const IBounds& /*rect*/,
                                      const char* /*text*/, IParameter* /*parameter*/) {}

void IGraphicsHeadless::UseDocumentsFolder(const char* folder) noexcept {
  ownDocumentsFolder_ = true;
  documentsFolder_.Set(folder ? folder : "");
}

void IGraphicsHeadless::DocumentsFolder(GrowableText& out) {
  if (ownDocumentsFolder_) {
    out.Set(documentsFolder_.Get());
    return;
  }
  IGraphicsPortable::DocumentsFolder(out);
}

bool IGraphicsHeadless::OpenEditorWindow(void* /*parentWindow*/) { return false; }

}  // namespace torvane
