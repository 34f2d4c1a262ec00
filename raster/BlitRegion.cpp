#include "raster/BlitRegion.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "raster/PixelOps.h"

namespace torvane {

namespace {

// The clipped overlap of source and destination.
struct BlitArea {
  uint32_t* destination;
  ptrdiff_t destinationStep;
  const uint32_t* source;
  ptrdiff_t sourceStep;
  int width;
  int height;
};

// When a raster is blitted onto itself and the destination lies after the
// source in memory, a forward walk would overwrite source pixels before
// reading them: walk from the last row up and from the right instead.
bool WalkBackwards(const BlitArea& area) {
  return reinterpret_cast<uintptr_t>(area.destination) > reinterpret_cast<uintptr_t>(area.source);
}

BlitArea FromLastRow(BlitArea area) {
  area.destination += area.destinationStep * (area.height - 1);
  area.source += area.sourceStep * (area.height - 1);
  area.destinationStep = -area.destinationStep;
  area.sourceStep = -area.sourceStep;
  return area;
}

bool ClipArea(const IRasterBitmap& destination, const IRasterBitmap& source, int x, int y,
              const RasterRect* sourceRect, BlitArea* area) {
  if (!destination.PixelBuffer() || !source.PixelBuffer()) return false;
  // 64-bit so that extreme positions and rectangles cannot overflow.
  int64_t left = 0, top = 0;
  int64_t right = source.Width(), bottom = source.Height();
  if (sourceRect) {
    left = sourceRect->left;
    top = sourceRect->top;
    right = std::min<int64_t>(sourceRect->right, right);
    bottom = std::min<int64_t>(sourceRect->bottom, bottom);
  }
  int64_t dx = x, dy = y;
  // Source pixels left of or above the source move the destination instead;
  // destination pixels left of or above the destination move the source.
  if (left < 0) {
    dx -= left;
    left = 0;
  }
  if (top < 0) {
    dy -= top;
    top = 0;
  }
  if (dx < 0) {
    left -= dx;
    dx = 0;
  }
  if (dy < 0) {
    top -= dy;
    dy = 0;
  }
  const int64_t width = std::min(right - left, destination.Width() - dx);
  const int64_t height = std::min(bottom - top, destination.Height() - dy);
  if (width <= 0 || height <= 0) return false;

  area->destination = RowStart(destination, static_cast<int>(dy)) + dx;
  area->destinationStep = RowStep(destination);
  area->source = RowStart(source, static_cast<int>(top)) + left;
  area->sourceStep = RowStep(source);
  area->width = static_cast<int>(width);
  area->height = static_cast<int>(height);
  // Distinct rasters never overlap; only the same raster needs an order.
  if (destination.PixelBuffer() == source.PixelBuffer() && WalkBackwards(*area)) *area = FromLastRow(*area);
  return true;
}

// Calls fn(destination word, source word) for every pixel of the area.
template <class PixelFn>
void ForEachPixel(const BlitArea& area, PixelFn fn) {
  uint32_t* d = area.destination;
  const uint32_t* s = area.source;
  // Within a row the same rule: right to left when the destination is ahead.
  const bool rightToLeft = WalkBackwards(area);
  for (int row = 0; row < area.height; ++row, d += area.destinationStep, s += area.sourceStep) {
    if (rightToLeft) {
      for (int i = area.width - 1; i >= 0; --i) fn(d[i], s[i]);
    } else {
      for (int i = 0; i < area.width; ++i) fn(d[i], s[i]);
    }
  }
}

void CopyRows(const BlitArea& area) {
  uint32_t* d = area.destination;
  const uint32_t* s = area.source;
  const size_t bytes = static_cast<size_t>(area.width) * sizeof(uint32_t);
  for (int row = 0; row < area.height; ++row, d += area.destinationStep, s += area.sourceStep) {
    // The same raster may be both source and destination.
    std::memmove(d, s, bytes);
  }
}

void CopyChannel(const BlitArea& area, int mode) {
  const int channels = mode - kBlitChannelCopyBase;
  const int toShift = 8 * ((channels >> 2) & 3);
  const int fromShift = 8 * (channels & 3);
  const uint32_t keep = ~(0xFFu << toShift);
  ForEachPixel(area, [&](uint32_t& d, uint32_t s) {
    d = (d & keep) | (((s >> fromShift) & 0xFF) << toShift);
  });
}

// BlitCopy without source alpha: whole rows at full opacity, word averages at
// one half, the copy operator otherwise.
void CopyWithOpacity(const BlitArea& area, float alpha) {
  if (alpha == 1.0f) return CopyRows(area);
  if (alpha == 0.5f) {
    return ForEachPixel(area, [](uint32_t& d, uint32_t s) { d = pixel::MixHalf(s, d); });
  }
  const int w = pixel::WeightFromAlpha(alpha);
  if (w < 1) return;
  if (w == 256) return CopyRows(area);
  ForEachPixel(area, [w](uint32_t& d, uint32_t s) {
    d = pixel::ChannelwiseOperator<pixel::CopyChannel>{}(d, pixel::Unpack(s), w);
  });
}

// BlitCopy with BlitUseSourceAlpha: transparent source pixels are skipped, and
// at full weight opaque ones replace the destination outright.
void CopyWithSourceAlpha(const BlitArea& area, int w) {
  if (w == 256) {
    return ForEachPixel(area, [](uint32_t& d, uint32_t s) {
      const int a = static_cast<int>(s >> 24);
      if (a == 255) {
        d = s;
      } else if (a != 0) {
        d = pixel::SourceAlphaCopyOpaque(d, s, a);
      }
    });
  }
  ForEachPixel(area, [w](uint32_t& d, uint32_t s) {
    const int a = static_cast<int>(s >> 24);
    if (a == 0) return;
    const int pixelWeight = pixel::SourceAlphaWeight(w, a);
    d = pixel::SourceAlphaCopy(d, s, pixelWeight, pixelWeight);
  });
}

}  // namespace

void BlitRegion(IRasterBitmap* destination, const IRasterBitmap* source, int x, int y,
                const RasterRect* sourceRect, float alpha, int mode) noexcept {
  if (!destination || !source || alpha == 0.0f) return;
  BlitArea area;
  if (!ClipArea(*destination, *source, x, y, sourceRect, &area)) return;

  const int op = mode & 0xFF;
  if (op >= kBlitChannelCopyBase) return CopyChannel(area, op);
  const bool useSourceAlpha = (mode & BlitUseSourceAlpha) != 0;
  if (op == BlitCopy && !useSourceAlpha) return CopyWithOpacity(area, alpha);

  const int w = pixel::WeightFromAlpha(alpha);
  if (w == 0) return;
  if (op == BlitCopy) return CopyWithSourceAlpha(area, w);
  pixel::WithOperator(op, [&](auto blend) {
    if (useSourceAlpha) {
      ForEachPixel(area, [&](uint32_t& d, uint32_t s) {
        const pixel::Channels sc = pixel::Unpack(s);
        if (sc.alpha != 0) d = blend(d, sc, pixel::SourceAlphaWeight(w, sc.alpha));
      });
    } else {
      ForEachPixel(area, [&](uint32_t& d, uint32_t s) { d = blend(d, pixel::Unpack(s), w); });
    }
  });
}

}  // namespace torvane
