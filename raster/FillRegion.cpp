#include "raster/FillRegion.h"

#include <algorithm>

#include "raster/PixelOps.h"

namespace torvane {

namespace {

// Calls fn(pixel) for every pixel of the rectangle, which lies inside the bitmap.
template <class PixelFn>
void ForEachPixel(IRasterBitmap& bitmap, int x, int y, int width, int height, PixelFn fn) {
  uint32_t* row = RowStart(bitmap, y) + x;
  const ptrdiff_t step = RowStep(bitmap);
  for (int r = 0; r < height; ++r, row += step) {
    for (int i = 0; i < width; ++i) fn(row[i]);
  }
}

}  // namespace

void FillRegion(IRasterBitmap* bitmap, int x, int y, int width, int height, uint32_t colour,
                float alpha, int mode) noexcept {
  double opacity = alpha;
  if (mode & BlitUseSourceAlpha) opacity = opacity * ((colour >> 24) / 255.0);
  if (!bitmap || opacity == 0.0 || !bitmap->PixelBuffer()) return;

  // 64-bit so that a huge rectangle cannot overflow on its way into the bitmap.
  int64_t left = x, top = y, right = int64_t{x} + width, bottom = int64_t{y} + height;
  left = std::max<int64_t>(left, 0);
  top = std::max<int64_t>(top, 0);
  right = std::min<int64_t>(right, bitmap->Width());
  bottom = std::min<int64_t>(bottom, bitmap->Height());
  if (right <= left || bottom <= top) return;
  const int fx = static_cast<int>(left), fy = static_cast<int>(top);
  const int fw = static_cast<int>(right - left), fh = static_cast<int>(bottom - top);

  const int w = pixel::WeightFromAlpha(opacity);
  if (w == 0) return;
  const int op = mode & 0xFF;
  if (op == BlitCopy) {
    switch (w) {
      case 256: return ForEachPixel(*bitmap, fx, fy, fw, fh, [colour](uint32_t& d) { d = colour; });
      case 128:
        return ForEachPixel(*bitmap, fx, fy, fw, fh,
                            [colour](uint32_t& d) { d = pixel::MixHalf(colour, d); });
      case 64:
        return ForEachPixel(*bitmap, fx, fy, fw, fh,
                            [colour](uint32_t& d) { d = pixel::MixQuarter(colour, d); });
      case 192:
        return ForEachPixel(*bitmap, fx, fy, fw, fh,
                            [colour](uint32_t& d) { d = pixel::MixThreeQuarters(colour, d); });
      default: break;
    }
  }
  pixel::Channels source = pixel::Unpack(colour);
  source.alpha = w;
  pixel::WithOperator(op, [&](auto blend) {
    ForEachPixel(*bitmap, fx, fy, fw, fh, [&](uint32_t& d) { d = blend(d, source, w); });
  });
}

}  // namespace torvane
