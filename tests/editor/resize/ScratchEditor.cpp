// The graphics factory of the resize tests: the effect's editor without a
// window, its settings in the documents folder the running test chose.
#include "ScratchEditor.h"

#include "editor/GraphicsFactory.h"

namespace torvane {

std::unique_ptr<IGraphics> CreateGraphics(IEffectBase& effect) {
  auto graphics = std::make_unique<ScratchGraphics>(effect);
  graphics->UseDocumentsFolder(NextDocumentsFolder().c_str());
  return graphics;
}

}  // namespace torvane
