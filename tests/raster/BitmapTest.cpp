#include <gtest/gtest.h>

#include <climits>

#include <cstdint>

#include "raster/ClearBitmap.h"
#include "raster/MemBitmap.h"
#include "raster/SysBitmap.h"
#include "raster/RasterTestSupport.h"

namespace torvane {

TEST(MemBitmap, NonPositiveSidesGiveAnEmptyBitmap) {
  for (auto [w, h] : {std::pair{0, 5}, {5, 0}, {-4, 3}, {-4, -4}}) {
    MemBitmap constructed(w, h);
    EXPECT_EQ(constructed.PixelBuffer(), nullptr);
    MemBitmap resized;
    resized.SetSize(w, h);
    EXPECT_EQ(resized.PixelBuffer(), nullptr) << w << " x " << h;
    EXPECT_EQ(resized.Width(), 0);
    EXPECT_EQ(resized.Height(), 0);
  }
}

TEST(MemBitmap, RowsAreAlignedAndPaddedToFourPixels) {
  for (int width = 1; width <= 9; ++width) {
    MemBitmap b(width, 3);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(b.PixelBuffer()) % 64, 0u);
    EXPECT_EQ(b.RowPitch(), (width + 3) / 4 * 4);
    EXPECT_EQ(b.Width(), width);
    EXPECT_FALSE(b.IsBottomUp());
    EXPECT_EQ(b.DeviceContext(), nullptr);
    EXPECT_EQ(b.QueryExtension(1, nullptr), 0);
  }
}

TEST(MemBitmap, SetSizeReportsOnlyChanges) {
  MemBitmap b(10, 10);
  EXPECT_FALSE(b.SetSize(10, 10));
  EXPECT_TRUE(b.SetSize(10, 11));
  EXPECT_TRUE(b.SetSize(0, 0));
  EXPECT_EQ(b.PixelBuffer(), nullptr);
}

TEST(MemBitmap, StorageGrowsByAQuarterAndNeverShrinks) {
  MemBitmap b(100, 100);                    // 40000 bytes of pixels
  EXPECT_EQ(b.AllocatedBytes(), 40000 + 63);
  uint32_t* first = b.PixelBuffer();
  b.SetSize(50, 50);
  EXPECT_EQ(b.PixelBuffer(), first);
  EXPECT_EQ(b.AllocatedBytes(), 40063);
  b.SetSize(101, 100);                      // pitch 104: 41600 bytes
  EXPECT_EQ(b.AllocatedBytes(), 41600 * 5 / 4 + 63);
  uint32_t* grown = b.PixelBuffer();
  b.SetSize(110, 110);                      // pitch 112: 49280 bytes fit the quarter
  EXPECT_EQ(b.PixelBuffer(), grown);
  EXPECT_EQ(b.AllocatedBytes(), 52063);
}

// The pixels start up to 63 bytes into the storage, so a size that fits the
// allocation but not the part behind the aligned start must still grow it.
TEST(MemBitmap, GrowsWhenTheAlignedStartLeavesTooLittleRoom) {
  MemBitmap b(16, 10);  // 640 bytes in 703
  b.SetSize(4, 41);     // 656 bytes
  EXPECT_EQ(b.AllocatedBytes(), 656 * 5 / 4 + 63);
  FillWith(b, 0x12345678);  // under AddressSanitizer this proves the room is there
  EXPECT_EQ(PixelAt(b, 3, 40), 0x12345678u);
}

TEST(MemBitmap, ImpossibleSizeLeavesAnEmptyBitmap) {
  // Too many bytes, and widths whose padded row pitch would overflow an int.
  for (int width : {100000, INT_MAX - 3, INT_MAX - 1, INT_MAX}) {
    MemBitmap b(4, 4);
    EXPECT_TRUE(b.SetSize(width, width == 100000 ? 100000 : 1));
    EXPECT_EQ(b.PixelBuffer(), nullptr) << width;
    EXPECT_EQ(b.Width(), 0);
    EXPECT_EQ(b.Height(), 0);
    EXPECT_EQ(b.RowPitch(), 0);
  }
}

TEST(SysBitmap, RowsArePaddedAndASmallerSizeReusesTheBuffer) {
  SysBitmap b(30, 20);
  ASSERT_NE(b.PixelBuffer(), nullptr);
  EXPECT_EQ(b.Width(), 30);
  EXPECT_EQ(b.Height(), 20);
  EXPECT_EQ(b.RowPitch(), 32);
  EXPECT_FALSE(b.IsBottomUp());
  EXPECT_EQ(b.QueryExtension(7, nullptr), 0);
  uint32_t* pixels = b.PixelBuffer();
  EXPECT_EQ(pixels[32 * 20 - 1], 0u);

  EXPECT_TRUE(b.SetSize(31, 20));
  EXPECT_EQ(b.PixelBuffer(), pixels);
  EXPECT_EQ(b.Width(), 31);
  EXPECT_EQ(b.RowPitch(), 32);
  EXPECT_FALSE(b.SetSize(31, 20));
  EXPECT_TRUE(b.SetSize(8, 5));
  EXPECT_EQ(b.PixelBuffer(), pixels);

  EXPECT_TRUE(b.SetSize(33, 5));
  EXPECT_EQ(b.RowPitch(), 36);
  FillWith(b, 1);
}

TEST(SysBitmap, NonPositiveSizeDropsThePixels) {
  SysBitmap b(8, 8);
  EXPECT_FALSE(b.SetSize(0, 8));
  EXPECT_EQ(b.PixelBuffer(), nullptr);
  EXPECT_EQ(b.Width(), 0);
  EXPECT_TRUE(b.SetSize(8, 8));
  EXPECT_NE(b.PixelBuffer(), nullptr);
  SysBitmap empty(0, 0);
  EXPECT_EQ(empty.PixelBuffer(), nullptr);
}

#ifndef _WIN32
TEST(SysBitmap, HasNoDeviceContextWithoutAPlatformOne) {
  SysBitmap b(4, 4);
  EXPECT_EQ(b.DeviceContext(), nullptr);
}
#endif

TEST(ClearBitmap, ZeroesThePixelsInUseButNotTheRowPadding) {
  SysBitmap b(30, 2);
  uint32_t* pixels = b.PixelBuffer();
  for (int i = 0; i < 64; ++i) pixels[i] = 0xDEADBEEF;
  ClearBitmap(&b);
  EXPECT_EQ(pixels[0], 0u);
  EXPECT_EQ(pixels[29], 0u);
  EXPECT_EQ(pixels[30], 0xDEADBEEFu);
  EXPECT_EQ(pixels[31], 0xDEADBEEFu);
  EXPECT_EQ(pixels[32 + 29], 0u);

  ClearBitmap(nullptr);
  MemBitmap empty;
  ClearBitmap(&empty);
}

}  // namespace torvane
