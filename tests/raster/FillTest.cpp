#include <gtest/gtest.h>

#include "raster/BlitMode.h"
#include "raster/FillRegion.h"
#include "raster/MemBitmap.h"
#include "raster/RasterTestSupport.h"

namespace torvane {

namespace {

uint32_t FillOne(uint32_t destination, uint32_t colour, float alpha, int mode) {
  MemBitmap b(1, 1);
  SetPixel(b, 0, 0, destination);
  FillRegion(&b, 0, 0, 1, 1, colour, alpha, mode);
  return PixelAt(b, 0, 0);
}

}  // namespace

TEST(FillRegion, OpaqueColourWithSourceAlphaIsWrittenAsItIs) {
  MemBitmap b(6, 5);
  FillWith(b, 0x01020304);
  FillRegion(&b, 1, 2, 3, 2, 0xFF191919, 1.0f, BlitUseSourceAlpha);
  for (int y = 0; y < 5; ++y) {
    for (int x = 0; x < 6; ++x) {
      const bool inside = x >= 1 && x < 4 && y >= 2 && y < 4;
      EXPECT_EQ(PixelAt(b, x, y), inside ? 0xFF191919u : 0x01020304u) << x << "," << y;
    }
  }
}

// c = 0xFF804020 over d = 0x00204080, worked per byte (alpha, red, green, blue).
TEST(FillRegion, ShiftWeightsMixWholeWords) {
  const uint32_t c = 0xFF804020, d = 0x00204080;
  EXPECT_EQ(FillOne(d, c, 1.0f, BlitCopy), c);
  // 7F+00, 40+10, 20+20, 10+40.
  EXPECT_EQ(FillOne(d, c, 0.5f, BlitCopy), 0x7F504050u);
  // d/2 + c/4 + d/4: 00+3F+00, 10+20+08, 20+10+10, 40+08+20.
  EXPECT_EQ(FillOne(d, c, 0.25f, BlitCopy), 0x3F384068u);
  // c/4 + d/4 + c/2: 3F+00+7F, 20+08+40, 10+10+20, 08+20+10.
  EXPECT_EQ(FillOne(d, c, 0.75f, BlitCopy), 0xBE684038u);
  // Any alpha with the same truncated weight takes the same path.
  EXPECT_EQ(FillOne(d, c, 0.5030f, BlitCopy), 0x7F504050u);
}

TEST(FillRegion, OtherWeightsMoveAlphaTowardTheWeight) {
  // w = 96, keep 160/256: b 32 + 96*160/256 = 92; g 64; r 128 - 60 = 68; alpha 96 - 60 = 36.
  EXPECT_EQ(FillOne(0x00204080, 0xFF804020, 0.375f, BlitCopy), Argb(36, 68, 64, 92));
}

TEST(FillRegion, SourceAlphaScalesTheOpacityByTheColourAlpha) {
  // 1.0 * 128/255 gives the weight 128: the half mix.
  EXPECT_EQ(FillOne(0x00000000, 0x80FFFFFF, 1.0f, BlitCopy | BlitUseSourceAlpha), 0x407F7F7Fu);
  EXPECT_EQ(FillOne(0x01020304, 0x00FFFFFF, 1.0f, BlitCopy | BlitUseSourceAlpha), 0x01020304u);
}

TEST(FillRegion, WeightStandsInForTheSourceAlpha) {
  // Add at w = 128: colour 10 + 100*128/256 = 60; alpha 10 + 128*128/256 = 74.
  EXPECT_EQ(FillOne(Argb(10, 10, 10, 10), 0xFF646464, 0.5f, BlitAdd), Argb(74, 60, 60, 60));
  // Multiply at w = 256 keeps the alpha and scales the colour: 200*128/256.
  EXPECT_EQ(FillOne(Argb(99, 200, 200, 200), 0x00808080, 1.0f, BlitMultiply), Argb(99, 100, 100, 100));
  // The hue adjustment takes the weight as the new alpha, limited to 255.
  EXPECT_EQ(FillOne(Argb(0, 100, 100, 100), 0x00808080, 1.0f, BlitHsvAdjust), 0xFF646464u);
  EXPECT_EQ(FillOne(0x01020304, 0xFFFFFFFF, 1.0f, 9), 0x01020304u);
}

TEST(FillRegion, RectangleIsClippedAtEveryEdge) {
  MemBitmap b(4, 4);
  FillWith(b, 0);
  FillRegion(&b, -2, -3, 3, 4, 0xFFFFFFFF, 1.0f, BlitCopy);  // covers (0, 0) only
  FillRegion(&b, 3, 3, 100, 100, 0xFFFFFFFF, 1.0f, BlitCopy);  // covers (3, 3) only
  FillRegion(&b, 2147483000, 0, 2000, 4, 0xFFFFFFFF, 1.0f, BlitCopy);
  FillRegion(&b, 0, 0, 0, 4, 0xFFFFFFFF, 1.0f, BlitCopy);
  FillRegion(&b, 1, 1, 2, 2, 0xFFFFFFFF, 0.0f, BlitCopy);
  int drawn = 0;
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x) drawn += PixelAt(b, x, y) != 0;
  }
  EXPECT_EQ(drawn, 2);
  EXPECT_EQ(PixelAt(b, 0, 0), 0xFFFFFFFFu);
  EXPECT_EQ(PixelAt(b, 3, 3), 0xFFFFFFFFu);

  MemBitmap empty;
  FillRegion(&empty, 0, 0, 4, 4, 0xFFFFFFFF, 1.0f, BlitCopy);
  FillRegion(nullptr, 0, 0, 4, 4, 0xFFFFFFFF, 1.0f, BlitCopy);
}

}  // namespace torvane
