#pragma once

#include <cstdint>

#include "core/GrowableArray.h"
#include "core/GrowableBuffer.h"
#include "raster/IRasterFont.h"

namespace torvane {

// A platform font with a cache of 8-bit glyph coverage masks, each rendered
// through the platform once and then blended directly; opaque text may go to
// the platform's own text drawing instead. Owned by the editor's font store;
// used on the editor window's thread.
class CachedFont final : public IRasterFont {
 public:
  // One character of the cache.
  struct Glyph {
    int maskOffset;  // offset + 1 into the coverage store; 0 not rendered yet, -1 renders to nothing
    int width;       // of the mask (turned for rotated fonts)
    int height;
    int advance;     // pen step
    uint32_t codePoint;
    int placement;   // the mask starts this many pixels before the pen, along the text
  };

  CachedFont() noexcept;
  ~CachedFont() override;
  CachedFont(const CachedFont&) = delete;
  CachedFont& operator=(const CachedFont&) = delete;

  void AdoptSystemFont(SystemFont font, int flags) noexcept override;
  uint32_t SetTextColour(uint32_t colour) noexcept override;
  uint32_t SetBackgroundColour(uint32_t colour) noexcept override;
  uint32_t SetEffectColour(uint32_t colour) noexcept override;
  int SetBackgroundMode(int mode) noexcept override;
  void SetBlend(int mode, float alpha) noexcept override;
  int RenderTextInto(IRasterBitmap* bitmap, const char* utf8, int length, RasterRect* rect,
                     uint32_t textFlags) noexcept override;
  uint32_t TextColour() const noexcept override { return textColour_; }
  SystemFont SystemFontHandle() const noexcept override { return font_; }
  int LineHeight() const noexcept override { return lineHeight_; }
  bool DrawGlyph(IRasterBitmap* bitmap, uint32_t codePoint, int x, int y,
                 const RasterRect* clip) noexcept override;

  // The cached record of a code point; null when it has not been rendered.
  const Glyph* FindGlyph(uint32_t codePoint) const noexcept;
  // A rendered glyph's mask, width x height bytes, rows top to bottom; null
  // for a glyph that renders to nothing.
  const uint8_t* Coverage(const Glyph& glyph) const noexcept;

 private:
  struct TextExtent {
    int width;
    int height;
  };
  // Rotated fonts run their text down (glyph tops facing right) or up.
  enum class Rotation { kNone, kDown, kUp };

  // Platform part (CachedFontWin.cpp, CachedFontPosix.cpp): native drawing
  // where the platform has it and the call allows it, the glyph cache otherwise.
  int DrawOrMeasure(IRasterBitmap* bitmap, const char* text, int length, RasterRect* rect,
                    uint32_t textFlags) noexcept;
  // Windows only.
  bool UsesNativeDrawing(uint32_t textFlags) const noexcept;
  int DrawNatively(IRasterBitmap* bitmap, const char* text, int length, RasterRect* rect,
                   uint32_t textFlags) noexcept;

  int DrawFromCache(IRasterBitmap* bitmap, const char* text, int length, RasterRect* rect,
                    uint32_t textFlags) noexcept;
  // The extent on the bitmap, lines stacked as columns for rotated fonts.
  TextExtent MeasureFromCache(const char* text, int length, uint32_t textFlags) noexcept;
  Rotation TextRotation() const noexcept;
  // A cached mask's size along the text and across it.
  int AlongSize(const Glyph& glyph) const noexcept;
  int AcrossSize(const Glyph& glyph) const noexcept;
  // Calls visit(glyph, penX, penY) for each character of the text with the pen
  // (64-bit, so that no text can wrap it) relative to the start, rendering
  // glyphs on first use.
  template <class Visit>
  void WalkText(const char* text, int length, uint32_t textFlags, Visit&& visit) noexcept;

  // The record of a code point, rendered on first use; null when the glyph
  // cannot be cached.
  const Glyph* CachedGlyph(uint32_t codePoint) noexcept;
  Glyph* FindOrInsert(uint32_t codePoint) noexcept;
  void Render(Glyph* glyph) noexcept;
  void ClearCache() noexcept;
  // Blends a glyph with its pen at (x, y) on the bitmap.
  void BlendGlyph(IRasterBitmap* bitmap, const Glyph& glyph, int64_t x, int64_t y,
                  const RasterRect* clip, double alpha) noexcept;

  uint32_t textColour_ = 0xFF000000;
  uint32_t backgroundColour_ = 0xFFFFFFFF;
  uint32_t effectColour_ = 0xFF808080;
  int backgroundMode_ = kBackgroundTransparent;
  int blendMode_ = 0;
  float alpha_ = 1.0f;
  int fontFlags_ = 0;
  int lineHeight_ = 0;
  static constexpr int kDirectGlyphs = 128;
  Glyph direct_[kDirectGlyphs] = {};
  GrowableArray<Glyph> others_;  // sorted by code point
  GrowableBuffer coverage_;
  SystemFont font_ = nullptr;
};

}  // namespace torvane
