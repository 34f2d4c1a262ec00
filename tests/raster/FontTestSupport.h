#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>

#include "raster/CachedFont.h"
#include "raster/RasterTestSupport.h"

namespace torvane {

// Helpers of the font tests: fonts as the editor makes them, and the pixels a
// glyph must produce, computed from the glyph's own coverage mask so that no
// test depends on one version of one font.

inline std::unique_ptr<CachedFont> MakeFont(int height, int weight = 700,
                                            int flags = kFontOwnsSystemFont | kFontPreferNative,
                                            int quality = 2) {
  auto font = std::make_unique<CachedFont>();
  font->AdoptSystemFont(CreateSystemFont({"Arial", height, 0, weight, false, quality}), flags);
  return font;
}

// The antialiased copy of colour over d at coverage k (1..255) and weight w:
// the colour channels move toward the colour by 256 - h of 256, the alpha
// toward opaque by the same share.
inline uint32_t ExpectedTextPixel(uint32_t d, uint32_t colour, int k, int w) {
  const int h = w == 256 ? 255 - k : 256 - std::min(256, w * k / 256);
  auto channel = [&](int shift) {
    const int dc = (d >> shift) & 0xFF, c = (colour >> shift) & 0xFF;
    return static_cast<uint32_t>(c + (dc - c) * h / 256) << shift;
  };
  const int da = static_cast<int>(d >> 24);
  const uint32_t alpha = static_cast<uint32_t>(((da - 255) * h / 256 - 1) & 0xFF) << 24;
  return alpha | channel(16) | channel(8) | channel(0);
}

// Blends the cached glyph of c with its pen at (x, y) into image by
// ExpectedTextPixel; the glyph must be in the cache.
inline void CompositeGlyph(IRasterBitmap& image, const CachedFont& font, uint32_t c, int x, int y,
                           uint32_t colour, int w) {
  const CachedFont::Glyph* glyph = font.FindGlyph(c);
  if (!glyph || glyph->width == 0) return;
  const uint8_t* mask = font.Coverage(*glyph);
  for (int row = 0; row < glyph->height; ++row) {
    for (int column = 0; column < glyph->width; ++column) {
      const int k = mask[row * glyph->width + column];
      const int px = x - glyph->placement + column, py = y + row;
      if (k == 0 || px < 0 || py < 0 || px >= image.Width() || py >= image.Height()) continue;
      SetPixel(image, px, py, ExpectedTextPixel(PixelAt(image, px, py), colour, k, w));
    }
  }
}

// Number of pixels in which two images of the same size differ.
inline int DifferingPixels(const IRasterBitmap& a, const IRasterBitmap& b) {
  int count = 0;
  for (int y = 0; y < a.Height(); ++y) {
    for (int x = 0; x < a.Width(); ++x) count += PixelAt(a, x, y) != PixelAt(b, x, y);
  }
  return count;
}

// The smallest rectangle holding every pixel that differs from `background`;
// empty (all zero) when none does.
inline RasterRect InkBounds(const IRasterBitmap& image, uint32_t background) {
  RasterRect r = {image.Width(), image.Height(), 0, 0};
  for (int y = 0; y < image.Height(); ++y) {
    for (int x = 0; x < image.Width(); ++x) {
      if (PixelAt(image, x, y) == background) continue;
      r = {std::min(r.left, x), std::min(r.top, y), std::max(r.right, x + 1),
           std::max(r.bottom, y + 1)};
    }
  }
  return r.right == 0 ? RasterRect{0, 0, 0, 0} : r;
}

}  // namespace torvane
