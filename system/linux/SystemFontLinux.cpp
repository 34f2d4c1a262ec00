// Platform fonts on Linux: fontconfig picks the font file for the requested
// face, weight and slant (so "Arial" finds its metric-compatible Liberation
// Sans), FreeType scales it to the requested cell height and renders the
// glyphs for the cache. Each font has a FreeType library of its own, so fonts
// used on different threads share no FreeType state.
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H

#include <algorithm>
#include <cstdlib>
#include <new>

#include "system/SystemFont.h"

namespace torvane {

namespace {

// The cell height GDI picks when a request leaves the height at 0.
constexpr int kDefaultCellHeight = 16;

// What a SystemFont handle points to on Linux: a face with its own FreeType
// library, scaled once; owned by the cached font that adopted it.
struct FreeTypeFont {
  FT_Library library = nullptr;
  FT_Face face = nullptr;
  int ascent = 0;  // baseline below the top of the line
  int lineHeight = 0;
  FT_Int32 loadFlags = FT_LOAD_DEFAULT;
  FT_Render_Mode renderMode = FT_RENDER_MODE_NORMAL;
  bool embolden = false;  // fontconfig found no bold face and asks for a synthetic one

  ~FreeTypeFont() {
    if (face) FT_Done_Face(face);
    if (library) FT_Done_FreeType(library);
  }
};

FreeTypeFont* FromHandle(SystemFont font) { return static_cast<FreeTypeFont*>(font); }

int RoundedPixels(FT_Pos value26dot6) { return static_cast<int>((value26dot6 + 32) >> 6); }

// The font file fontconfig matched, with the synthesis it asks for.
struct MatchedFile {
  FcChar8* path = nullptr;
  int index = 0;
  FcBool embolden = FcFalse;
  FcMatrix matrix = {1, 0, 0, 1};
};

// Fills file from the best match (which the caller destroys); false when
// nothing matches at all.
bool MatchFont(const SystemFontRequest& request, FcPattern** match, MatchedFile* file) {
  // FcInit is idempotent and thread-safe; the configuration lives for the process.
  if (!FcInit()) return false;
  FcPattern* pattern = FcPatternCreate();
  if (!pattern) return false;
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(request.face));
  FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(std::clamp(request.weight, 1, 1000)));
  FcPatternAddInteger(pattern, FC_SLANT, request.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  *match = FcFontMatch(nullptr, pattern, &result);
  FcPatternDestroy(pattern);
  if (!*match) return false;
  if (FcPatternGetString(*match, FC_FILE, 0, &file->path) != FcResultMatch) return false;
  FcPatternGetInteger(*match, FC_INDEX, 0, &file->index);
  FcPatternGetBool(*match, FC_EMBOLDEN, 0, &file->embolden);
  FcMatrix* matrix = nullptr;
  if (FcPatternGetMatrix(*match, FC_MATRIX, 0, &matrix) == FcResultMatch && matrix) {
    file->matrix = *matrix;
  }
  return true;
}

// Scales the face to the request: a positive height is the cell height
// (ascender to descender), a negative one the em size, as GDI reads them.
bool ScaleFace(FT_Face face, int height) {
  if (height == 0) height = kDefaultCellHeight;
  FT_Size_RequestRec size = {};
  size.type = height > 0 ? FT_SIZE_REQUEST_TYPE_CELL : FT_SIZE_REQUEST_TYPE_NOMINAL;
  size.height = static_cast<FT_Long>(std::min(std::abs(height), 0x7FFF)) << 6;
  return FT_Request_Size(face, &size) == 0;
}

// Loads a glyph's outline with the font's hinting and synthesis; false when
// the font cannot load it.
bool LoadGlyph(FreeTypeFont& font, uint32_t codePoint) {
  if (FT_Load_Char(font.face, codePoint, font.loadFlags) != 0) return false;
  if (font.embolden) FT_GlyphSlot_Embolden(font.face->glyph);
  return true;
}

bool IsControlCharacter(uint32_t c) { return c < 0x20 || (c >= 0x7F && c < 0xA0); }

}  // namespace

SystemFont CreateSystemFont(const SystemFontRequest& request) noexcept {
  if (!request.face) return nullptr;
  FcPattern* match = nullptr;
  MatchedFile file;
  const bool matched = MatchFont(request, &match, &file);

  FreeTypeFont* font = matched ? new (std::nothrow) FreeTypeFont() : nullptr;
  bool ready = font && FT_Init_FreeType(&font->library) == 0 &&
               FT_New_Face(font->library, reinterpret_cast<const char*>(file.path), file.index,
                           &font->face) == 0 &&
               ScaleFace(font->face, request.height);
  if (match) FcPatternDestroy(match);
  if (!ready) {
    delete font;
    return nullptr;
  }

  FT_Face face = font->face;
  if (request.quality == 1) {
    font->loadFlags = FT_LOAD_TARGET_MONO;
    font->renderMode = FT_RENDER_MODE_MONO;
  }
  font->embolden = file.embolden;
  // fontconfig's matrix slants a face that has no italic of its own.
  FT_Matrix shear = {static_cast<FT_Fixed>(file.matrix.xx * 65536.0),
                     static_cast<FT_Fixed>(file.matrix.xy * 65536.0),
                     static_cast<FT_Fixed>(file.matrix.yx * 65536.0),
                     static_cast<FT_Fixed>(file.matrix.yy * 65536.0)};
  FT_Set_Transform(face, &shear, nullptr);

  // Ascent and descent rounded on their own, as GDI's text metrics are, so
  // that the line height is their sum.
  const FT_Size_Metrics& metrics = face->size->metrics;
  FT_Pos ascender = metrics.ascender;
  FT_Pos descender = -metrics.descender;
  if (FT_IS_SCALABLE(face)) {
    ascender = FT_MulFix(face->ascender, metrics.y_scale);
    descender = FT_MulFix(-face->descender, metrics.y_scale);
  }
  font->ascent = RoundedPixels(ascender);
  font->lineHeight = font->ascent + RoundedPixels(descender);
  return font;
}

void DeleteSystemFont(SystemFont font) noexcept { delete FromHandle(font); }

int SystemFontLineHeight(SystemFont font, void* /*deviceContext*/) noexcept {
  return font ? FromHandle(font)->lineHeight : 0;
}

bool MeasureSystemGlyph(SystemFont handle, void* /*deviceContext*/, uint32_t codePoint,
                        int* width, int* height) noexcept {
  FreeTypeFont* font = FromHandle(handle);
  // Control characters have no ink and no advance.
  if (!font || IsControlCharacter(codePoint) || !LoadGlyph(*font, codePoint)) return false;
  *width = RoundedPixels(font->face->glyph->advance.x);
  *height = font->lineHeight;
  return true;
}

void DrawSystemGlyph(SystemFont handle, const GlyphCanvas& canvas, uint32_t codePoint,
                     int x) noexcept {
  FreeTypeFont* font = FromHandle(handle);
  if (!font || !canvas.pixels || IsControlCharacter(codePoint) || !LoadGlyph(*font, codePoint)) {
    return;
  }
  FT_GlyphSlot slot = font->face->glyph;
  if (FT_Render_Glyph(slot, font->renderMode) != 0) return;
  const FT_Bitmap& bitmap = slot->bitmap;
  const bool mono = bitmap.pixel_mode == FT_PIXEL_MODE_MONO;
  if (!mono && bitmap.pixel_mode != FT_PIXEL_MODE_GRAY) return;

  const int left = x + slot->bitmap_left;
  const int top = font->ascent - slot->bitmap_top;
  for (int row = 0; row < static_cast<int>(bitmap.rows); ++row) {
    const int y = top + row;
    if (y < 0 || y >= canvas.height) continue;
    // A negative pitch stores the rows bottom to top.
    const ptrdiff_t stored = bitmap.pitch >= 0 ? row : static_cast<int>(bitmap.rows) - 1 - row;
    const unsigned char* source = bitmap.buffer + stored * std::abs(bitmap.pitch);
    uint32_t* target = canvas.pixels + static_cast<ptrdiff_t>(y) * canvas.rowPitch;
    for (int column = 0; column < static_cast<int>(bitmap.width); ++column) {
      const int px = left + column;
      if (px < 0 || px >= canvas.width) continue;
      const uint32_t k =
          mono ? ((source[column >> 3] >> (7 - (column & 7))) & 1) * 255u : source[column];
      // White ink over what is there: the brighter value wins.
      const uint32_t present = (target[px] >> 16) & 0xFF;
      if (k > present) target[px] = 0xFF000000u | k << 16 | k << 8 | k;
    }
  }
}

}  // namespace torvane
