// Kept apart from the decoder so that programs that only decode need not link
// the module resources.
#include "raster/PngLoader.h"
#include "system/ModuleResources.h"

namespace torvane {

namespace {
// Anything this short cannot even hold the PNG signature.
constexpr size_t kShortestResource = 7;
}  // namespace

std::unique_ptr<MemBitmap> LoadPngResource(void* module, int id) noexcept {
  const ResourceBytes resource = FindPngResource(module, id);
  if (!resource.data || resource.size <= kShortestResource) return nullptr;
  return DecodePngMemory(resource.data, resource.size);
}

bool PngResourceSize(void* module, int id, int& width, int& height) noexcept {
  const ResourceBytes resource = FindPngResource(module, id);
  return resource.data && ReadPngSize(resource.data, resource.size, width, height);
}

}  // namespace torvane
