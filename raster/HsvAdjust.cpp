#include "raster/HsvAdjust.h"

#include <algorithm>
#include <array>

namespace torvane {

namespace {

// Reciprocals 65536 / i - 1 (0 for i = 0), so that the conversion divides
// only by powers of two.
constexpr std::array<uint16_t, 256> MakeReciprocals() {
  std::array<uint16_t, 256> table = {};
  for (int i = 1; i < 256; ++i) table[i] = static_cast<uint16_t>(65536 / i - 1);
  return table;
}
constexpr std::array<uint16_t, 256> kReciprocal = MakeReciprocals();

// The hue circle has six sectors of 64 steps.
constexpr int kSector = 64;
constexpr int kHueSteps = 6 * kSector;

int Clamp255(int v) { return std::clamp(v, 0, 255); }

}  // namespace

uint32_t HsvAdjust(uint32_t destination, int sourceRed, int sourceGreen, int sourceBlue,
                   int sourceAlpha, int weight) noexcept {
  int r = (destination >> 16) & 0xFF;
  int g = (destination >> 8) & 0xFF;
  int b = destination & 0xFF;

  int value, delta, base, offset;
  // The largest channel is the value; its sector fixes the hue base and
  // which difference the hue is measured by.
  if (r < g && b < g) {
    value = g; delta = g - std::min(b, r); base = 128; offset = b - r;
  } else if (r < g) {
    value = b; delta = b - r; base = 256; offset = r - g;
  } else if (b < r && g < b) {
    value = r; delta = r - g; base = 383; offset = g - b;
  } else if (b < r) {
    value = r; delta = r - b; base = 0; offset = g - b;
  } else {
    value = b; delta = b - g; base = 256; offset = r - g;
  }
  int saturation = kReciprocal[value] * delta / 256;
  int hue = base + (kReciprocal[delta] + 1) * offset / 1024;

  hue += (sourceRed / 2 - 192 + sourceRed) * weight / 256;
  if (hue < 0) hue += kHueSteps;
  if (hue > kHueSteps - 1) hue -= kHueSteps;
  saturation = Clamp255(saturation + (sourceGreen - 128) * weight / 128);
  value = Clamp255(value + (sourceBlue - 128) * weight / 128);

  const int low = (256 - saturation) * value / 256;
  auto ramp = [&](int k) { return (k * saturation + 16384) * value / 16384; };
  switch (hue / kSector) {
    case 0: r = value; g = ramp(hue - 64); b = low; break;
    case 1: r = ramp(64 - hue); g = value; b = low; break;
    case 2: r = low; g = value; b = ramp(hue - 192); break;
    case 3: r = low; g = ramp(192 - hue); b = value; break;
    case 4: r = ramp(hue - 320); g = low; b = value; break;
    default: r = value; g = low; b = ramp(320 - hue); break;
  }
  const uint32_t alpha = static_cast<uint32_t>(std::min(sourceAlpha, 255));
  return alpha << 24 | static_cast<uint32_t>(r) << 16 | static_cast<uint32_t>(g) << 8 |
         static_cast<uint32_t>(b);
}

}  // namespace torvane
