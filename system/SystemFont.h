#pragma once

#include <cstdint>

namespace torvane {

// The platform font behind a cached font: on Windows a GDI font (an HFONT from
// CreateFontA), on Linux a FreeType face that fontconfig chose for the
// requested attributes. The editor creates one per text style on its window
// thread and hands it to a CachedFont, which owns it from then on.
using SystemFont = void*;  // opaque platform font handle

struct SystemFontRequest {
  const char* face;  // e.g. "Arial"
  int height;        // pixels (the font's cell height as GDI's CreateFontA takes it)
  int escapement;    // tenths of a degree (orientation x 10)
  int weight;        // 400 normal, 700 bold
  bool italic;
  int quality;  // 0 system default, 1 non-antialiased, 2 antialiased, 3 ClearType
};

// Null when no font can be made.
SystemFont CreateSystemFont(const SystemFontRequest& request) noexcept;
void DeleteSystemFont(SystemFont font) noexcept;

// The seam the glyph cache renders through. Glyphs are drawn one at a time,
// white on black, into a 32-bit top-down surface; the cache reads the red byte
// back as coverage. On Windows GDI draws through the surface's device context,
// elsewhere the pixels are written directly.
struct GlyphCanvas {
  void* deviceContext;  // the surface's memory device context, or null
  uint32_t* pixels;
  int width;
  int height;
  int rowPitch;  // in pixels
};

// The font's line height (its text cell height) in pixels; 0 without a font.
// deviceContext is a context the font may be selected into, or null.
int SystemFontLineHeight(SystemFont font, void* deviceContext) noexcept;

// The box one character occupies when drawn alone on a single line: its
// advance and the line height. False when the font cannot measure it.
bool MeasureSystemGlyph(SystemFont font, void* deviceContext, uint32_t codePoint, int* width,
                        int* height) noexcept;

// Draws one character in white with the top-left corner of its box at (x, 0),
// over whatever the canvas holds; ink outside the canvas is dropped.
void DrawSystemGlyph(SystemFont font, const GlyphCanvas& canvas, uint32_t codePoint,
                     int x) noexcept;

}  // namespace torvane
