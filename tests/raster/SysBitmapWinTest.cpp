// The Windows surface must be a real top-down DIB section in its own device
// context: GDI and the raster operations see the same pixels.
#include "system/win/WindowsApi.h"

#include <gtest/gtest.h>

#include "raster/ClearBitmap.h"
#include "raster/RasterTestSupport.h"
#include "raster/SysBitmap.h"

namespace torvane {

TEST(SysBitmapWin, SurfaceIsA32BitDibSectionInItsContext) {
  SysBitmap b(30, 20);
  HDC dc = static_cast<HDC>(b.DeviceContext());
  ASSERT_NE(dc, nullptr);
  DIBSECTION section = {};
  ASSERT_EQ(GetObject(GetCurrentObject(dc, OBJ_BITMAP), sizeof(section), &section), sizeof(section));
  EXPECT_EQ(section.dsBmih.biWidth, 32);
  // GetObject reports the height without its sign; the row order is pinned by
  // drawing below.
  EXPECT_EQ(section.dsBm.bmHeight, 20);
  EXPECT_EQ(section.dsBmih.biBitCount, 32);
  EXPECT_EQ(section.dsBm.bmBits, b.PixelBuffer());
}

TEST(SysBitmapWin, GdiAndRasterSeeTheSameTopDownPixels) {
  SysBitmap b(30, 20);
  HDC dc = static_cast<HDC>(b.DeviceContext());
  ClearBitmap(&b);
  SetPixelV(dc, 3, 1, RGB(0x11, 0x22, 0x33));
  GdiFlush();
  EXPECT_EQ(PixelAt(b, 3, 1) & 0xFFFFFF, 0x112233u);
  SetPixel(b, 29, 19, 0x00ABCDEF);
  EXPECT_EQ(GetPixel(dc, 29, 19), RGB(0xAB, 0xCD, 0xEF));

  // A larger size selects a new section into the same context.
  ASSERT_TRUE(b.SetSize(40, 10));
  EXPECT_EQ(b.DeviceContext(), dc);
  SetPixelV(dc, 39, 9, RGB(0x44, 0x55, 0x66));
  GdiFlush();
  EXPECT_EQ(PixelAt(b, 39, 9) & 0xFFFFFF, 0x445566u);
}

}  // namespace torvane
