// Without platform text drawing every call takes the glyph cache, whose glyphs
// the system font (system/linux) renders.
#include "raster/CachedFont.h"

namespace torvane {

int CachedFont::DrawOrMeasure(IRasterBitmap* bitmap, const char* text, int length,
                              RasterRect* rect, uint32_t textFlags) noexcept {
  return DrawFromCache(bitmap, text, length, rect, textFlags);
}

}  // namespace torvane
