#pragma once

#include <cstdint>

#include "raster/IRasterBitmap.h"
#include "raster/RasterRect.h"
#include "system/SystemFont.h"

namespace torvane {

// Text flags of RenderTextInto. They are the platform's text-format values, so
// the native path hands them to the platform unchanged.
constexpr uint32_t kTextCentre = 0x1;
constexpr uint32_t kTextRight = 0x2;
constexpr uint32_t kTextVerticalCentre = 0x4;
constexpr uint32_t kTextBottom = 0x8;
constexpr uint32_t kTextSingleLine = 0x20;
constexpr uint32_t kTextNoClip = 0x100;
// Draw nothing; the rectangle receives the text's extent.
constexpr uint32_t kTextMeasure = 0x400;
// The blend alpha is multiplied by the text colour's alpha for this call.
constexpr uint32_t kTextUseColourAlpha = 0x40000000;
// A measure through the glyph cache, without the native path's single-line default.
constexpr uint32_t kTextRawMeasure = 0x80000000;
constexpr uint32_t kTextAlignmentMask = kTextCentre | kTextRight | kTextVerticalCentre | kTextBottom;

// Font flags of AdoptSystemFont.
constexpr int kFontRotated = 0x1;          // drawn top to bottom
constexpr int kFontRotatedUpward = 0x2;    // with kFontRotated: bottom to top
constexpr int kFontPreloadAscii = 0x4;     // render code points 0..127 on adoption; no others
constexpr int kFontSmoothGlyphs = 0x10;    // an extra filter pass over each rendered glyph
constexpr int kFontInvertCoverage = 0x20;
constexpr int kFontNoAntialias = 0x40;     // any coverage counts as full
constexpr int kFontEffect = 0x80;          // full coverage text colour, partial the effect colour
constexpr int kFontEffectAlternate = 0x100;
constexpr int kFontOwnsSystemFont = 0x200; // deleted when replaced or when the font goes
constexpr int kFontPreferNative = 0x400;

// Background modes (the platform's values).
constexpr int kBackgroundTransparent = 1;
constexpr int kBackgroundOpaque = 2;  // each glyph's box is filled first

// A font that draws UTF-8 text into raster bitmaps. Owned by whoever created it
// (the editor's process-wide font store); used on the editor window's thread.
class IRasterFont {
 public:
  virtual ~IRasterFont() = default;

  // Takes the platform font and the font flags; empties the glyph cache.
  virtual void AdoptSystemFont(SystemFont font, int flags) noexcept = 0;
  // Colours are 0xAARRGGBB; each setter returns the previous value.
  virtual uint32_t SetTextColour(uint32_t colour) noexcept = 0;
  virtual uint32_t SetBackgroundColour(uint32_t colour) noexcept = 0;
  virtual uint32_t SetEffectColour(uint32_t colour) noexcept = 0;
  virtual int SetBackgroundMode(int mode) noexcept = 0;
  // A blend mode of raster/BlitMode.h and the opacity used for all drawing.
  virtual void SetBlend(int mode, float alpha) noexcept = 0;
  // Draws (or with kTextMeasure measures) length bytes of utf8 (-1: up to the
  // terminator) in rect. Returns the height covered by the text.
  virtual int RenderTextInto(IRasterBitmap* bitmap, const char* utf8, int length, RasterRect* rect,
                             uint32_t textFlags) noexcept = 0;
  virtual uint32_t TextColour() const noexcept = 0;
  virtual SystemFont SystemFontHandle() const noexcept = 0;
  virtual int LineHeight() const noexcept = 0;
  // Blends one already cached glyph with its pen position at (x, y), limited
  // to clip (null: the whole bitmap). False when nothing is cached for it.
  virtual bool DrawGlyph(IRasterBitmap* bitmap, uint32_t codePoint, int x, int y,
                         const RasterRect* clip) noexcept = 0;
};

}  // namespace torvane
