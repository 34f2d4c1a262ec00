#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "raster/BlitMode.h"
#include "raster/BlitRegion.h"
#include "raster/HsvAdjust.h"
#include "raster/MemBitmap.h"
#include "raster/RasterTestSupport.h"

namespace torvane {

namespace {

int Red(uint32_t p) { return (p >> 16) & 0xFF; }
int Green(uint32_t p) { return (p >> 8) & 0xFF; }
int Blue(uint32_t p) { return p & 0xFF; }

}  // namespace

TEST(HsvAdjust, WeightZeroKeepsPrimariesGreysAndAlphaFromTheSource) {
  for (uint32_t c : {0x00FF0000u, 0x0000FF00u, 0x000000FFu, 0x00000000u, 0x00FFFFFFu, 0x00646464u}) {
    EXPECT_EQ(HsvAdjust(c, 0, 0, 0, 0x5A, 0), c | 0x5A000000u) << std::hex << c;
  }
}

// The integer conversion to hue, saturation and value and back loses a little:
// at weight 0 no channel of any colour moves by more than 5.
TEST(HsvAdjust, WeightZeroRoundTripStaysClose) {
  int worst = 0;
  for (uint32_t c = 0; c < 0x1000000; c += 7) {
    const uint32_t back = HsvAdjust(c, 13, 250, 0, 255, 0);
    worst = std::max({worst, std::abs(Red(back) - Red(c)), std::abs(Green(back) - Green(c)),
                      std::abs(Blue(back) - Blue(c))});
  }
  EXPECT_LE(worst, 5);
}

TEST(HsvAdjust, ShiftsHueSaturationAndValue) {
  // Red with source red 170 turns the hue by (85 - 192 + 170) = 63 steps:
  // s = 255, v = 255, green = (-255 + 16384)*255/16384 = 251.
  EXPECT_EQ(HsvAdjust(0x00FF0000, 170, 128, 128, 255, 256), 0xFFFFFB00u);
  // (200, 100, 50): v 200, s 326*150/256 = 191, hue 436*50/1024 = 21. At w = 128
  // source green 255 adds 127 to s (clamped to 255) and source blue 64 takes 64 off v:
  // v = 136, low = 0, green = (-43*255 + 16384)*136/16384 = 44.
  EXPECT_EQ(HsvAdjust(Argb(0, 200, 100, 50), 128, 255, 64, 0x33, 128), Argb(0x33, 136, 44, 0));
}

TEST(HsvAdjust, BlitModeUsesTheSourceChannelsAsShifts) {
  MemBitmap d(1, 1), s(1, 1);
  SetPixel(d, 0, 0, 0x00FF0000);
  SetPixel(s, 0, 0, Argb(255, 170, 128, 128));
  BlitRegion(&d, &s, 0, 0, nullptr, 1.0f, BlitHsvAdjust);
  EXPECT_EQ(PixelAt(d, 0, 0), 0xFFFFFB00u);
}

}  // namespace torvane
