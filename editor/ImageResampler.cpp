#include "editor/ImageResampler.h"

#include <algorithm>
#include <cstddef>

#include "raster/ClearBitmap.h"

namespace torvane {

namespace {

struct Region {
  int left;
  int top;
  int width;
  int height;
};

// Rounds a fractional box size up without turning an exact ratio into the next integer.
constexpr double kBoxRoundUp = 0.99999999999;

void ResampleRegion(const IRasterBitmap& source, const Region& from, IRasterBitmap& target, const Region& to) {
  if (from.width <= 0 || from.height <= 0 || to.width <= 0 || to.height <= 0) return;
  const double stepX = static_cast<double>(from.width) / to.width;
  const double stepY = static_cast<double>(from.height) / to.height;
  const int boxX = std::max(0, static_cast<int>(stepX + kBoxRoundUp));
  const int boxY = std::max(0, static_cast<int>(stepY + kBoxRoundUp));
  const double normaliser = 1.0 / std::max(1.0, static_cast<double>(boxX * boxY));
  const int columns = std::max(boxX, 1);
  const int rows = std::max(boxY, 1);

  // A source pixel relative to the region; outside it counts as 0. The rows
  // are found by pointer steps, not by asking the bitmap for every pixel.
  const uint32_t* const origin = RowStart(source, from.top) + from.left;
  const ptrdiff_t rowStep = RowStep(source);
  const auto pixel = [&](int x, int y) -> uint32_t {
    if (x >= from.width || y >= from.height) return 0;
    return origin[y * rowStep + x];
  };

  // One to one (the scale equals the image factor): every box is one pixel of
  // weight 1, so each target pixel is its source pixel exactly.
  if (stepX == 1.0 && stepY == 1.0) {
    for (int ty = 0; ty < to.height; ++ty) {
      uint32_t* out = RowStart(target, to.top + ty) + to.left;
      for (int tx = 0; tx < to.width; ++tx) out[tx] = pixel(tx, ty);
    }
    return;
  }

  for (int ty = 0; ty < to.height; ++ty) {
    const double y0 = stepY * ty;
    const int iy = static_cast<int>(y0);
    const double fy = y0 - iy;
    uint32_t* out = RowStart(target, to.top + ty) + to.left;
    for (int tx = 0; tx < to.width; ++tx) {
      const double x0 = stepX * tx;
      const int ix = static_cast<int>(x0);
      const double fx = x0 - ix;
      const double weights[4] = {(1 - fx) * (1 - fy), fx * (1 - fy), (1 - fx) * fy, fx * fy};
      double sums[4] = {0.0, 0.0, 0.0, 0.0};
      for (int v = 0; v < rows; ++v) {
        for (int u = 0; u < columns; ++u) {
          const int x = ix + u;
          const int y = iy + v;
          const uint32_t corners[4] = {pixel(x, y), pixel(x + 1, y), pixel(x, y + 1), pixel(x + 1, y + 1)};
          for (int c = 0; c < 4; ++c) {
            // A corner of weight 0 adds exactly 0 to every sum: whole ratios
            // (a scale equal to the image factor) skip three of the four.
            if (weights[c] == 0.0) continue;
            for (int channel = 0; channel < 4; ++channel) {
              sums[channel] += ((corners[c] >> (8 * channel)) & 0xFF) * weights[c];
            }
          }
        }
      }
      uint32_t word = 0;
      for (int channel = 0; channel < 4; ++channel) {
        word |= static_cast<uint32_t>(static_cast<int>(sums[channel] * normaliser)) << (8 * channel);
      }
      out[tx] = word;
    }
  }
}

}  // namespace

void ResampleStrip(const IRasterBitmap& source, int frameCount, bool sideBySide, IRasterBitmap& target) noexcept {
  if (!source.PixelBuffer() || !target.PixelBuffer()) return;
  const int sw = source.Width(), sh = source.Height();
  const int tw = target.Width(), th = target.Height();
  if (frameCount < 2) {
    ResampleRegion(source, {0, 0, sw, sh}, target, {0, 0, tw, th});
    return;
  }
  ClearBitmap(&target);
  const int n = frameCount;
  for (int i = 0; i < n; ++i) {
    if (sideBySide) {
      const Region from{static_cast<int>(static_cast<double>(sw) * i / n + 0.5), 0, sw / n, sh};
      const Region to{static_cast<int>(static_cast<double>(tw) * i / n + 0.5), 0, (tw - n) / n, th};
      ResampleRegion(source, from, target, to);
    } else {
      const Region from{0, static_cast<int>(static_cast<double>(sh) * i / n + 0.5), sw, sh / n};
      const Region to{0, static_cast<int>(static_cast<double>(th) * i / n + 0.5), tw, (th - n) / n};
      ResampleRegion(source, from, target, to);
    }
  }
}

}  // namespace torvane
