#include <gtest/gtest.h>

#include "raster/BlitMode.h"
#include "raster/DrawLine.h"
#include "raster/MemBitmap.h"
#include "raster/RasterTestSupport.h"

namespace torvane {

namespace {

class LineCanvas : public ::testing::Test {
 protected:
  LineCanvas() : canvas_(16, 16) { FillWith(canvas_, 0); }

  uint32_t At(int x, int y) const { return PixelAt(canvas_, x, y); }
  int DrawnCount() const {
    int n = 0;
    for (int y = 0; y < canvas_.Height(); ++y) {
      for (int x = 0; x < canvas_.Width(); ++x) n += At(x, y) != 0;
    }
    return n;
  }

  MemBitmap canvas_;
};

// One byte repeated in all four channels.
uint32_t Grey(uint32_t v) { return v * 0x01010101u; }

}  // namespace

TEST_F(LineCanvas, ExactDiagonalDrawsOnePixelPerStep) {
  DrawLine(&canvas_, 0, 10, 10, 0, 0xFFFFFFFF, 1.0f, BlitCopy);
  EXPECT_EQ(DrawnCount(), 11);
  for (int i = 0; i <= 10; ++i) EXPECT_EQ(At(i, 10 - i), 0xFFFFFFFFu) << i;
}

TEST_F(LineCanvas, DiagonalAtPartialAlphaBlendsEveryPixelAlike) {
  // w = trunc(0.3 * 256) = 76: 255 + trunc(-255*180/256) = 76.
  DrawLine(&canvas_, 2, 2, 6, 6, 0xFFFFFFFF, 0.3f, BlitCopy);
  EXPECT_EQ(DrawnCount(), 5);
  for (int i = 2; i <= 6; ++i) EXPECT_EQ(At(i, i), Grey(76));
}

TEST_F(LineCanvas, StraightLinesIncludeBothEnds) {
  DrawLine(&canvas_, 7, 3, 2, 3, 0xFF112233, 1.0f, BlitCopy);
  DrawLine(&canvas_, 9, 1, 9, 4, 0xFF112233, 1.0f, BlitCopy);
  DrawLine(&canvas_, 12, 12, 12, 12, 0xFF112233, 1.0f, BlitCopy);
  EXPECT_EQ(DrawnCount(), 6 + 4 + 1);
  EXPECT_EQ(At(2, 3), 0xFF112233u);
  EXPECT_EQ(At(7, 3), 0xFF112233u);
  EXPECT_EQ(At(9, 4), 0xFF112233u);
  EXPECT_EQ(At(12, 12), 0xFF112233u);
}

TEST_F(LineCanvas, StraightCopiesUseTheShiftMixes) {
  const uint32_t c = 0xFF804020, d = 0x00204080;
  FillWith(canvas_, d);
  DrawLine(&canvas_, 0, 0, 3, 0, c, 0.5f, BlitCopy);
  DrawLine(&canvas_, 0, 1, 3, 1, c, 0.25f, BlitCopy);
  DrawLine(&canvas_, 0, 2, 0, 5, c, 0.75f, BlitCopy);
  // Weight 128 from an alpha other than 0.5 averages too.
  DrawLine(&canvas_, 5, 0, 5, 3, c, 0.501f, BlitCopy);
  EXPECT_EQ(At(3, 0), 0x7F504050u);
  EXPECT_EQ(At(0, 1), 0x3F384068u);
  EXPECT_EQ(At(0, 5), 0xBE684038u);
  EXPECT_EQ(At(5, 3), 0x7F504050u);
}

TEST_F(LineCanvas, StraightLinesWithOtherOperatorsUseTheTable) {
  FillWith(canvas_, Grey(10));
  // Add at w = 128 with the colour's own alpha: 10 + 100*128/256 = 60, alpha 10 + 127.
  DrawLine(&canvas_, 0, 0, 4, 0, 0xFF646464, 0.5f, BlitAdd);
  EXPECT_EQ(At(4, 0), Argb(137, 60, 60, 60));
  EXPECT_EQ(At(5, 0), Grey(10));
}

// From (0, 0) to (4, 1): the slope is 1/4, so the minor position moves by 64/256
// per column; each end walks two columns in, the first one taking the middle.
// White over black at weight v gives 255 + trunc(-255 * (256 - v) / 256).
TEST_F(LineCanvas, OtherSlopesAreAntialiasedFromBothEnds) {
  DrawLine(&canvas_, 0, 0, 4, 1, 0xFFFFFFFF, 1.0f, BlitCopy);
  EXPECT_EQ(At(0, 0), Grey(255));
  EXPECT_EQ(At(1, 0), Grey(192));
  EXPECT_EQ(At(1, 1), Grey(64));
  EXPECT_EQ(At(2, 0), Grey(128));
  EXPECT_EQ(At(2, 1), Grey(128));
  EXPECT_EQ(At(3, 1), Grey(192));
  EXPECT_EQ(At(3, 0), Grey(64));
  EXPECT_EQ(At(4, 1), Grey(255));
  EXPECT_EQ(DrawnCount(), 8);
}

// Both ends walk the same steps toward each other; only the middle column of an
// even length belongs to the first end, so odd lengths look the same either way.
TEST_F(LineCanvas, OddLengthLinesDoNotDependOnDirection) {
  MemBitmap reversed(16, 16);
  FillWith(reversed, 0);
  const int lines[][4] = {{1, 2, 14, 7}, {3, 0, 8, 15}, {0, 0, 5, 1}, {13, 2, 2, 5}};
  for (const auto& l : lines) {
    DrawLine(&canvas_, l[0], l[1], l[2], l[3], 0xFFFFFFFF, 0.8f, BlitCopy);
    DrawLine(&reversed, l[2], l[3], l[0], l[1], 0xFFFFFFFF, 0.8f, BlitCopy);
  }
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) EXPECT_EQ(At(x, y), PixelAt(reversed, x, y)) << x << "," << y;
  }
}

// Clipping keeps exactly the pixels the unclipped line has inside the bitmap.
TEST_F(LineCanvas, ClippedLinesMatchTheSameLineOnALargerBitmap) {
  MemBitmap large(40, 40);
  FillWith(large, 0);
  const int lines[][4] = {{-5, 3, 30, 9},  {2, -20, 9, 30},     {-3, -3, 20, 20}, {-8, 5, 30, 5},
                          {7, -9, 7, 50},   {25, 1, -10, 14},    {15, 17, 30, 2},  {-1000000, 4, 1000000, 9}};
  for (const auto& l : lines) {
    DrawLine(&canvas_, l[0], l[1], l[2], l[3], 0xFFFFFFFF, 0.9f, BlitAdd);
    DrawLine(&large, l[0], l[1], l[2], l[3], 0xFFFFFFFF, 0.9f, BlitAdd);
  }
  EXPECT_GT(DrawnCount(), 0);
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) EXPECT_EQ(At(x, y), PixelAt(large, x, y)) << x << "," << y;
  }
}

TEST_F(LineCanvas, LinesOutsideTheBitmapDrawNothing) {
  DrawLine(&canvas_, -5, -1, 20, -1, 0xFFFFFFFF, 1.0f, BlitCopy);
  DrawLine(&canvas_, 16, 0, 16, 15, 0xFFFFFFFF, 1.0f, BlitCopy);
  DrawLine(&canvas_, -10, 5, -1, 9, 0xFFFFFFFF, 1.0f, BlitCopy);
  DrawLine(&canvas_, 20, 0, 40, 9, 0xFFFFFFFF, 1.0f, BlitCopy);
  DrawLine(&canvas_, 2, 2, 9, 5, 0xFFFFFFFF, 0.0f, BlitCopy);
  DrawLine(&canvas_, 2, 2, 9, 5, 0xFFFFFFFF, 1.0f, 7);
  EXPECT_EQ(DrawnCount(), 0);
  MemBitmap empty;
  DrawLine(&empty, 0, 0, 5, 5, 0xFFFFFFFF, 1.0f, BlitCopy);
  DrawLine(nullptr, 0, 0, 5, 5, 0xFFFFFFFF, 1.0f, BlitCopy);
}

TEST(DrawLine, BottomUpBitmapsMirrorTheRows) {
  BottomUpBitmap b(4, 4);
  DrawLine(&b, 0, 0, 3, 0, 0xFF0000FF, 1.0f, BlitCopy);
  DrawLine(&b, 0, 1, 1, 2, 0xFF00FF00, 1.0f, BlitCopy);
  EXPECT_EQ(b.StoredAt(3, 3), 0xFF0000FFu);
  EXPECT_EQ(b.StoredAt(0, 2), 0xFF00FF00u);
  EXPECT_EQ(b.StoredAt(1, 1), 0xFF00FF00u);
  EXPECT_EQ(b.StoredAt(0, 0), 0u);
}

}  // namespace torvane
