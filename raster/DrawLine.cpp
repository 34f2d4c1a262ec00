#include "raster/DrawLine.h"

#include <algorithm>
#include <cstdlib>

#include "raster/PixelOps.h"

namespace torvane {

namespace {

struct Segment {
  int64_t x1, y1, x2, y2;
};

// Walks half of a segment from one end toward the middle: step i (0..lastStep)
// is on major coordinate major + i * majorDir; its minor coordinate advances by
// slope / 65536 per step. Pixels off the bitmap are skipped, and the steps
// whose major coordinate lies off the bitmap are not visited at all.
struct HalfWalk {
  int64_t major, minor;
  int majorDir, minorDir;
  int64_t lastStep;
  int64_t slope;
};

template <class PlotFn>
void WalkHalf(const HalfWalk& h, bool xMajor, int64_t width, int64_t height, int w, PlotFn plot) {
  const int64_t majorSize = xMajor ? width : height;
  const int64_t minorSize = xMajor ? height : width;
  // Steps that keep the major coordinate inside 0 .. majorSize - 1.
  int64_t first = 0, last = h.lastStep;
  if (h.majorDir > 0) {
    first = std::max(first, -h.major);
    last = std::min(last, majorSize - 1 - h.major);
  } else {
    first = std::max(first, h.major - (majorSize - 1));
    last = std::min(last, h.major);
  }
  for (int64_t i = first; i <= last; ++i) {
    const int64_t accumulator = i * h.slope;
    const int fraction = static_cast<int>((accumulator >> 8) & 0xFF);
    const int64_t major = h.major + i * h.majorDir;
    const int64_t minor = h.minor + (accumulator >> 16) * h.minorDir;
    const int weights[2] = {w * (256 - fraction) / 256, w * fraction / 256};
    for (int k = 0; k < 2; ++k) {
      const int64_t m = minor + k * h.minorDir;
      if (weights[k] == 0 || m < 0 || m >= minorSize) continue;
      plot(xMajor ? major : m, xMajor ? m : major, weights[k]);
    }
  }
}

// Calls plot(x, y, weight) for every pixel of the segment inside the bitmap,
// drawing from both ends toward the middle. A horizontal, vertical or diagonal
// segment has a whole-pixel slope, so each of its pixels gets the full weight w.
template <class PixelFn>
void WalkSegment(IRasterBitmap& bitmap, const Segment& s, int w, PixelFn fn) {
  const int64_t dx = s.x2 - s.x1, dy = s.y2 - s.y1;
  const bool xMajor = std::llabs(dx) > std::llabs(dy);
  const int64_t majorDelta = xMajor ? dx : dy, minorDelta = xMajor ? dy : dx;
  const int64_t length = std::llabs(majorDelta);
  const int majorDir = majorDelta < 0 ? -1 : 1, minorDir = minorDelta < 0 ? -1 : 1;
  const int64_t slope = length == 0 ? 0 : (std::llabs(minorDelta) << 16) / length;

  uint32_t* pixels = RowStart(bitmap, 0);
  const ptrdiff_t step = RowStep(bitmap);
  auto plot = [&](int64_t x, int64_t y, int weight) { fn(pixels[y * step + x], weight); };
  const int64_t width = bitmap.Width(), height = bitmap.Height();

  // The first end walks to the middle pixel inclusive, the second stops short of it.
  const HalfWalk fromStart{xMajor ? s.x1 : s.y1, xMajor ? s.y1 : s.x1, majorDir, minorDir,
                           length / 2, slope};
  const HalfWalk fromEnd{xMajor ? s.x2 : s.y2, xMajor ? s.y2 : s.x2, -majorDir, -minorDir,
                         (length + 1) / 2 - 1, slope};
  WalkHalf(fromStart, xMajor, width, height, w, plot);
  WalkHalf(fromEnd, xMajor, width, height, w, plot);
}

// Copy-mode writes of straight segments that need no per-channel arithmetic.
enum class WordMix { Colour, Half, Quarter, ThreeQuarters, None };

WordMix StraightCopyMix(float alpha, int w) {
  if (alpha == 1.0f) return WordMix::Colour;
  if (alpha == 0.5f) return WordMix::Half;
  if (alpha == 0.25f) return WordMix::Quarter;
  if (alpha == 0.75f) return WordMix::ThreeQuarters;
  if (w == 256) return WordMix::Colour;
  if (w == 128) return WordMix::Half;
  return WordMix::None;
}

}  // namespace

void DrawLine(IRasterBitmap* bitmap, int x1, int y1, int x2, int y2, uint32_t colour, float alpha,
              int mode) noexcept {
  if (!bitmap || !bitmap->PixelBuffer() || bitmap->Width() <= 0 || bitmap->Height() <= 0) return;
  const Segment segment{x1, y1, x2, y2};
  const int op = mode & 0xFF;
  const int w = pixel::WeightFromAlpha(alpha);
  if (op == BlitCopy && (x1 == x2 || y1 == y2)) {
    switch (StraightCopyMix(alpha, w)) {
      case WordMix::Colour:
        return WalkSegment(*bitmap, segment, 256, [colour](uint32_t& d, int) { d = colour; });
      case WordMix::Half:
        return WalkSegment(*bitmap, segment, 256,
                           [colour](uint32_t& d, int) { d = pixel::MixHalf(colour, d); });
      case WordMix::Quarter:
        return WalkSegment(*bitmap, segment, 256,
                           [colour](uint32_t& d, int) { d = pixel::MixQuarter(colour, d); });
      case WordMix::ThreeQuarters:
        return WalkSegment(*bitmap, segment, 256,
                           [colour](uint32_t& d, int) { d = pixel::MixThreeQuarters(colour, d); });
      case WordMix::None: break;
    }
  }
  if (w == 0) return;
  const pixel::Channels source = pixel::Unpack(colour);
  pixel::WithOperator(op, [&](auto blend) {
    WalkSegment(*bitmap, segment, w,
                [&](uint32_t& d, int weight) { d = blend(d, source, weight); });
  });
}

}  // namespace torvane
