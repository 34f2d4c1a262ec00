#include <gtest/gtest.h>

#include "raster/BlitMode.h"
#include "raster/BlitRegion.h"
#include "raster/MemBitmap.h"
#include "raster/RasterTestSupport.h"

namespace torvane {

namespace {

// Blits a single source pixel onto a single destination pixel and returns the result.
uint32_t BlendOne(uint32_t destination, uint32_t source, float alpha, int mode) {
  MemBitmap d(1, 1), s(1, 1);
  SetPixel(d, 0, 0, destination);
  SetPixel(s, 0, 0, source);
  BlitRegion(&d, &s, 0, 0, nullptr, alpha, mode);
  return PixelAt(d, 0, 0);
}

}  // namespace

// Expected values below are worked out by hand from the operator formulas;
// channels are listed blue, green, red, alpha.

TEST(BlitCopy, ZeroAlphaChangesNothing) {
  EXPECT_EQ(BlendOne(0x01020304, 0xFFFFFFFF, 0.0f, BlitCopy), 0x01020304u);
  EXPECT_EQ(BlendOne(0x01020304, 0xFFFFFFFF, 0.0f, BlitCopy | BlitUseSourceAlpha), 0x01020304u);
}

TEST(BlitCopy, FullAlphaCopiesAllFourBytes) {
  EXPECT_EQ(BlendOne(0xFFFFFFFF, 0x12345678, 1.0f, BlitCopy), 0x12345678u);
  EXPECT_EQ(BlendOne(0xFFFFFFFF, 0x00345678, 1.0f, BlitCopy), 0x00345678u);
}

TEST(BlitCopy, HalfAlphaAddsTheHalvesAndDropsOddBits) {
  // a 0x80/0x01 -> 0x40, r 0xFF/0x03 -> 0x7F + 0x01, g 0x01/0x05 -> 0 + 2, b 0x02/0x07 -> 1 + 3.
  EXPECT_EQ(BlendOne(0x80FF0102, 0x01030507, 0.5f, BlitCopy), 0x40800204u);
}

TEST(BlitCopy, OtherAlphasTruncateTowardZero) {
  // w = 64, keep 192/256: b 100 + 100*192/256 = 175; g 200 - 75 = 125;
  // r 3 + trunc(-3*192/256) = 3 - 2 = 1; a 255 - 191 = 64.
  EXPECT_EQ(BlendOne(Argb(0, 0, 100, 200), Argb(255, 3, 200, 100), 0.25f, BlitCopy),
            Argb(64, 1, 125, 175));
  // Below 1/256 the weight is 0 and nothing is drawn.
  EXPECT_EQ(BlendOne(0x01020304, 0xFFFFFFFF, 0.003f, BlitCopy), 0x01020304u);
}

TEST(BlitAdd, AddsTheWeightedSourceAndSaturates) {
  // w = 128: b 100 + 25; g 250 + 10 -> 255; r 0 + 3; a 10 + 127.
  EXPECT_EQ(BlendOne(Argb(10, 0, 250, 100), Argb(255, 7, 20, 51), 0.5f, BlitAdd),
            Argb(137, 3, 255, 125));
}

TEST(BlitDodge, BrightensByTheInverseOfTheSource) {
  // w = 256: b 100*256/128 = 200; g k = 255 > 254 -> 255; r 0 stays 0; a 50*256/256.
  EXPECT_EQ(BlendOne(Argb(50, 0, 100, 100), Argb(0, 255, 255, 128), 1.0f, BlitDodge),
            Argb(50, 0, 255, 200));
  // w = 128: k = 200*128/256 = 100, 100*256/156 = 164.
  EXPECT_EQ(BlendOne(Argb(0, 0, 0, 100), Argb(0, 0, 0, 200), 0.5f, BlitDodge) & 0xFF, 164u);
}

TEST(BlitMultiply, ScalesByTheSource) {
  // w = 256: s * d / 256: 128*200 -> 100, 255*255 -> 254, 0*10 -> 0, 255*77 -> 76.
  EXPECT_EQ(BlendOne(Argb(77, 10, 255, 200), Argb(255, 0, 255, 128), 1.0f, BlitMultiply),
            Argb(76, 0, 254, 100));
  // w = 128: s = 0 halves 200; s = 255 gives 65408*200 >> 16 = 199.
  EXPECT_EQ(BlendOne(Argb(0, 0, 200, 200), Argb(0, 0, 255, 0), 0.5f, BlitMultiply),
            Argb(0, 0, 199, 100));
}

TEST(BlitOverlay, DarkensAndLightensAroundMidGrey) {
  // w = 256: s 128 keeps 100; s 0 gives 12800*100 >> 15 = 39;
  // s 255 gives (-12700 + 65280)*100 >> 15 = 160; a 255/255 gives 32895*255 >> 15 = 255.
  EXPECT_EQ(BlendOne(Argb(255, 100, 100, 100), Argb(255, 255, 0, 128), 1.0f, BlitOverlay),
            Argb(255, 160, 39, 100));
}

TEST(BlitChannelCopy, CopiesOneChannelAndKeepsTheOthers) {
  EXPECT_EQ(BlendOne(0x11223344, 0xAABBCCDD, 1.0f, BlitChannelCopy(kChannelAlpha, kChannelRed)),
            0xBB223344u);
  EXPECT_EQ(BlendOne(0x11223344, 0xAABBCCDD, 1.0f, BlitChannelCopy(kChannelBlue, kChannelAlpha)),
            0x112233AAu);
  // The opacity does not weight a channel copy.
  EXPECT_EQ(BlendOne(0x11223344, 0xAABBCCDD, 0.3f, BlitChannelCopy(kChannelGreen, kChannelGreen)),
            0x1122CC44u);
}

TEST(BlitModes, UnknownOperatorsDrawNothing) {
  EXPECT_EQ(BlendOne(0x11223344, 0xAABBCCDD, 1.0f, 6), 0x11223344u);
  EXPECT_EQ(BlendOne(0x11223344, 0xAABBCCDD, 1.0f, 0xEF | BlitUseSourceAlpha), 0x11223344u);
}

TEST(BlitSourceAlpha, TransparentPixelsAreSkippedAndOpaqueOnesReplace) {
  for (int op : {BlitCopy, BlitAdd, BlitDodge, BlitMultiply, BlitOverlay, BlitHsvAdjust}) {
    EXPECT_EQ(BlendOne(0x11223344, 0x00FFFFFF, 1.0f, op | BlitUseSourceAlpha), 0x11223344u) << op;
  }
  EXPECT_EQ(BlendOne(0x11223344, 0xFF102030, 1.0f, BlitCopy | BlitUseSourceAlpha), 0xFF102030u);
}

TEST(BlitSourceAlpha, CopyAtFullWeightUsesTheExactForm) {
  // a = 128, keep 127/256: b 200 + trunc(-200*127/256) = 101; g 255*127/256 = 126;
  // r stays 100; alpha min(255, 200 + 128).
  EXPECT_EQ(BlendOne(Argb(200, 100, 255, 0), Argb(128, 100, 0, 200), 1.0f, BlitCopy | BlitUseSourceAlpha),
            Argb(255, 100, 126, 101));
  // Alpha grows by the source alpha itself: 0 + 64.
  EXPECT_EQ(BlendOne(Argb(0, 0, 0, 0), Argb(64, 0, 0, 0), 1.0f, BlitCopy | BlitUseSourceAlpha) >> 24,
            64u);
}

TEST(BlitSourceAlpha, CopyAtPartialWeightScalesByPixelAlpha) {
  // w = 128, a = 255: w' = 128; colour 255 - 127 = 128, alpha 0 + 128.
  EXPECT_EQ(BlendOne(0x00000000, 0xFFFFFFFF, 0.5f, BlitCopy | BlitUseSourceAlpha), 0x80808080u);
  // a = 100: w' = 128*101/256 = 50; b 0 + 200*206/256 = 160; alpha 10 + 50.
  EXPECT_EQ(BlendOne(Argb(10, 0, 0, 200), Argb(100, 0, 0, 0), 0.5f, BlitCopy | BlitUseSourceAlpha),
            Argb(60, 0, 0, 160));
}

TEST(BlitSourceAlpha, AddAndMultiplyWeightTheAlphaChannelToo) {
  // a = 127 at w = 256: w' = 128. Add: 10 + 100*128/256 = 60; alpha 0 + 127*128/256 = 63.
  EXPECT_EQ(BlendOne(Argb(0, 10, 10, 10), Argb(127, 100, 100, 100), 1.0f, BlitAdd | BlitUseSourceAlpha),
            Argb(63, 60, 60, 60));
  // Multiply with m = 128*256: colour (0 + 32768)*200 >> 16 = 100;
  // alpha (127*128 + 32768)*255 >> 16 = 190.
  EXPECT_EQ(BlendOne(Argb(255, 200, 200, 200), Argb(127, 0, 0, 0), 1.0f,
                     BlitMultiply | BlitUseSourceAlpha),
            Argb(190, 100, 100, 100));
}

class BlitClipping : public ::testing::Test {
 protected:
  BlitClipping() : source_(4, 4), destination_(4, 4) {
    FillWithCoordinates(source_);
    FillWith(destination_, 0);
  }
  // The destination as rows of pixel values, 0 where nothing was drawn.
  uint32_t At(int x, int y) const { return PixelAt(destination_, x, y); }
  static uint32_t Source(int x, int y) { return 0xFF000000u | static_cast<uint32_t>(y << 8 | x); }
  int DrawnCount() const {
    int n = 0;
    for (int y = 0; y < 4; ++y) {
      for (int x = 0; x < 4; ++x) n += At(x, y) != 0;
    }
    return n;
  }

  MemBitmap source_;
  MemBitmap destination_;
};

TEST_F(BlitClipping, RightAndBottomEdgesCutTheSource) {
  BlitRegion(&destination_, &source_, 2, 3, nullptr, 1.0f, BlitCopy);
  EXPECT_EQ(At(2, 3), Source(0, 0));
  EXPECT_EQ(At(3, 3), Source(1, 0));
  EXPECT_EQ(DrawnCount(), 2);
}

TEST_F(BlitClipping, NegativePositionsShiftTheSourceStart) {
  BlitRegion(&destination_, &source_, -1, -2, nullptr, 1.0f, BlitCopy);
  EXPECT_EQ(At(0, 0), Source(1, 2));
  EXPECT_EQ(At(2, 1), Source(3, 3));
  EXPECT_EQ(DrawnCount(), 6);

  MemBitmap large(20, 20);
  FillWithCoordinates(large);
  BlitRegion(&destination_, &large, -10, -10, nullptr, 1.0f, BlitCopy);
  EXPECT_EQ(At(0, 0), PixelAt(large, 10, 10));
  EXPECT_EQ(At(3, 3), PixelAt(large, 13, 13));
}

TEST_F(BlitClipping, SourceRectangleIsLimitedToTheSource) {
  const RasterRect rect{2, 1, 10, 2};
  BlitRegion(&destination_, &source_, 0, 0, &rect, 1.0f, BlitCopy);
  EXPECT_EQ(At(0, 0), Source(2, 1));
  EXPECT_EQ(At(1, 0), Source(3, 1));
  EXPECT_EQ(DrawnCount(), 2);
}

TEST_F(BlitClipping, NegativeSourceRectangleMovesTheDestination) {
  const RasterRect rect{-1, -2, 2, 1};
  BlitRegion(&destination_, &source_, 0, 0, &rect, 1.0f, BlitCopy);
  EXPECT_EQ(At(1, 2), Source(0, 0));
  EXPECT_EQ(At(2, 2), Source(1, 0));
  EXPECT_EQ(DrawnCount(), 2);
}

TEST_F(BlitClipping, NothingOverlapsNothingIsDrawn) {
  for (auto [x, y] : {std::pair{4, 0}, {0, 4}, {-4, 0}, {0, -4}, {1000000, -2000000000}}) {
    BlitRegion(&destination_, &source_, x, y, nullptr, 1.0f, BlitCopy);
    BlitRegion(&destination_, &source_, x, y, nullptr, 0.7f, BlitAdd | BlitUseSourceAlpha);
  }
  const RasterRect empty{2, 2, 2, 4};
  BlitRegion(&destination_, &source_, 0, 0, &empty, 1.0f, BlitCopy);
  EXPECT_EQ(DrawnCount(), 0);
}

TEST_F(BlitClipping, MissingBitmapsOrPixelsAreIgnored) {
  MemBitmap empty;
  BlitRegion(nullptr, &source_, 0, 0, nullptr, 1.0f, BlitCopy);
  BlitRegion(&destination_, nullptr, 0, 0, nullptr, 1.0f, BlitCopy);
  BlitRegion(&destination_, &empty, 0, 0, nullptr, 1.0f, BlitCopy);
  BlitRegion(&empty, &source_, 0, 0, nullptr, 1.0f, BlitCopy);
  EXPECT_EQ(DrawnCount(), 0);
}

// A raster blitted onto itself: each destination pixel gets the source pixel
// as it was before the blit, whichever way the areas overlap.
TEST(BlitRows, OverlappingBlitsWithinOneRasterReadTheOriginalPixels) {
  MemBitmap column(1, 4);
  for (int y = 0; y < 4; ++y) SetPixel(column, 0, y, 0xFF000001u + y);
  const RasterRect top = {0, 0, 1, 3};
  BlitRegion(&column, &column, 0, 1, &top, 1.0f, BlitCopy);  // whole rows: one row down
  const uint32_t down[] = {0xFF000001u, 0xFF000001u, 0xFF000002u, 0xFF000003u};
  for (int y = 0; y < 4; ++y) EXPECT_EQ(PixelAt(column, 0, y), down[y]) << y;

  MemBitmap row(4, 2);
  for (int x = 0; x < 4; ++x) SetPixel(row, x, 0, 0xFF000010u + x), SetPixel(row, x, 1, 0xFF000020u + x);
  const RasterRect left = {0, 0, 3, 1};
  // Pixel by pixel (a channel copy): one to the right, then one back up-left.
  BlitRegion(&row, &row, 1, 0, &left, 1.0f, BlitChannelCopy(kChannelBlue, kChannelBlue));
  const uint32_t right[] = {0xFF000010u, 0xFF000010u, 0xFF000011u, 0xFF000012u};
  for (int x = 0; x < 4; ++x) EXPECT_EQ(PixelAt(row, x, 0), right[x]) << x;
  const RasterRect lowerRight = {1, 1, 4, 2};
  BlitRegion(&row, &row, 0, 0, &lowerRight, 1.0f, BlitCopy);
  for (int x = 0; x < 3; ++x) EXPECT_EQ(PixelAt(row, x, 0), 0xFF000021u + x) << x;
}

TEST(BlitRows, PaddedAndBottomUpRowsAreAddressedByImageRow) {
  MemBitmap source(3, 3);  // pitch 4
  FillWithCoordinates(source);
  BottomUpBitmap flipped(3, 3);
  BlitRegion(&flipped, &source, 0, 0, nullptr, 1.0f, BlitCopy);
  EXPECT_EQ(flipped.StoredAt(1, 2), PixelAt(source, 1, 0));
  EXPECT_EQ(flipped.StoredAt(2, 0), PixelAt(source, 2, 2));

  MemBitmap back(3, 3);
  BlitRegion(&back, &flipped, 0, 0, nullptr, 1.0f, BlitCopy);
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 3; ++x) EXPECT_EQ(PixelAt(back, x, y), PixelAt(source, x, y));
  }
}

}  // namespace torvane
