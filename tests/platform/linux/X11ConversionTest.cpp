// The X11 layer's translations that need no display: the editor's pixels into
// the pixel layouts of X visuals, and X key symbols into the editor's keys.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/linux/X11KeyMap.h"
#include "platform/linux/X11PixelFormat.h"

#include <X11/keysym.h>

namespace torvane {

namespace {

std::vector<int> Converted(const X11PixelFormat& format, uint32_t pixel) {
  uint8_t bytes[4] = {};
  format.ConvertRow(&pixel, 1, bytes);
  return std::vector<int>(bytes, bytes + format.BytesPerPixel());
}

}  // namespace

TEST(X11PixelFormat, SixteenBitPixelsScaleEachChannelAndFollowTheServersByteOrder) {
  X11PixelFormat lsb, msb;
  ASSERT_TRUE(lsb.Configure(0xF800, 0x07E0, 0x001F, 16, false));
  ASSERT_TRUE(msb.Configure(0xF800, 0x07E0, 0x001F, 16, true));
  EXPECT_EQ(Converted(lsb, 0xFFFF0000), (std::vector<int>{0x00, 0xF8}));
  EXPECT_EQ(Converted(msb, 0xFFFF0000), (std::vector<int>{0xF8, 0x00}));
  // 0x33 of 255 is 6.0 of 31 (rounded), 0x66 is 25.2 of 63, 0x99 is 18.6 of 31:
  // 6 << 11 | 25 << 5 | 19 = 0x3333.
  EXPECT_EQ(Converted(lsb, 0xFF336699), (std::vector<int>{0x33, 0x33}));
}

TEST(X11PixelFormat, PackedAndThirtyTwoBitLayoutsPlaceChannelsByMaskAndSetTheUnusedBits) {
  X11PixelFormat packed, swapped, native;
  ASSERT_TRUE(packed.Configure(0xFF0000, 0xFF00, 0xFF, 24, true));
  EXPECT_EQ(Converted(packed, 0xFF123456), (std::vector<int>{0x12, 0x34, 0x56}));
  // Red in the low byte; the top byte (alpha of a 32-bit visual) opaque.
  ASSERT_TRUE(swapped.Configure(0xFF, 0xFF00, 0xFF0000, 32, false));
  EXPECT_EQ(Converted(swapped, 0x80123456), (std::vector<int>{0x12, 0x34, 0x56, 0xFF}));
  // The surface's own layout is copied, opaque.
  ASSERT_TRUE(native.Configure(0xFF0000, 0xFF00, 0xFF, 32, false));
  EXPECT_EQ(Converted(native, 0x00ABCDEF), (std::vector<int>{0xEF, 0xCD, 0xAB, 0xFF}));
}

TEST(X11PixelFormat, LayoutsWithoutUsableMasksAreRefused) {
  X11PixelFormat format;
  EXPECT_FALSE(format.Configure(0xE0, 0x1C, 0x03, 8, false));           // colour-mapped sizes
  EXPECT_FALSE(format.Configure(0xF0F0, 0x0F00, 0x000F, 16, false));    // a split mask
  EXPECT_FALSE(format.Configure(0xFF0000, 0x07E0, 0x001F, 16, false));  // beyond the pixel
  EXPECT_FALSE(format.Configure(0, 0xFF00, 0xFF, 32, false));
}

TEST(X11KeyMap, SpaceArrowsMainDigitsAndLettersOfEitherCaseReachTheEditor) {
  KeyCode key = KeySpace;
  ASSERT_TRUE(EditorKeyFor(XK_space, key));
  EXPECT_EQ(key, KeySpace);
  ASSERT_TRUE(EditorKeyFor(XK_KP_Left, key));
  EXPECT_EQ(key, KeyLeft);
  ASSERT_TRUE(EditorKeyFor(XK_Down, key));
  EXPECT_EQ(key, KeyDown);
  ASSERT_TRUE(EditorKeyFor(XK_7, key));
  EXPECT_EQ(key, 12);
  ASSERT_TRUE(EditorKeyFor(XK_q, key));
  EXPECT_EQ(key, 31);
  ASSERT_TRUE(EditorKeyFor(XK_Z, key));
  EXPECT_EQ(key, 40);
  EXPECT_FALSE(EditorKeyFor(XK_KP_7, key));
  EXPECT_FALSE(EditorKeyFor(XK_F1, key));
  EXPECT_FALSE(EditorKeyFor(XK_Return, key));
}

}  // namespace torvane
