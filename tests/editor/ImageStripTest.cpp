// Images and text: strips loaded once per process with placeholders, their
// re-rendering for a display scale, the resampler's pixels, and cached fonts.
#include <gtest/gtest.h>

#include "EditorTestDoubles.h"
#include "editor/FontStore.h"
#include "editor/IBitmapControl.h"
#include "editor/IFaderControl.h"
#include "editor/ImageResampler.h"
#include "editor/RasterCache.h"
#include "editor/StripRegistry.h"

namespace torvane {

namespace {

uint32_t Red(int red, int alpha = 255) { return static_cast<uint32_t>(alpha) << 24 | static_cast<uint32_t>(red) << 16; }

std::unique_ptr<MemBitmap> Image(int width, int height, std::initializer_list<uint32_t> pixels) {
  auto image = std::make_unique<MemBitmap>(width, height);
  auto p = pixels.begin();
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) RowStart(*image, y)[x] = *p++;
  }
  return image;
}

class ImageStrips : public ::testing::Test {
 protected:
  void SetUp() override {
    TestImages().clear();
    graphics.PrepareSurface();
  }

  EventLog log;
  RecordingEffect effect{&log};
  TestGraphics graphics{effect};
};

}  // namespace

TEST(ImageResampler, MixesNeighboursWhenEnlargingAndAveragesBoxesWhenReducing) {
  const auto source = Image(2, 2, {Red(100), Red(200), Red(50), Red(10)});
  MemBitmap target(4, 4);
  ResampleStrip(*source, 1, false, target);
  // Half steps: each target pixel mixes its source pixel with the right, lower
  // and diagonal neighbours by halves; neighbours beyond the image count as
  // transparent black, and the sums are truncated.
  const int red[4][4] = {{100, 150, 200, 100}, {75, 90, 105, 52}, {50, 30, 10, 5}, {25, 15, 5, 2}};
  const int alpha[4][4] = {{255, 255, 255, 127}, {255, 255, 255, 127}, {255, 255, 255, 127}, {127, 127, 127, 63}};
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x) EXPECT_EQ(RowStart(target, y)[x], Red(red[y][x], alpha[y][x])) << x << ", " << y;
  }
  const auto wide = Image(4, 1, {Red(10), Red(21), Red(30), Red(255)});
  MemBitmap half(2, 1);
  ResampleStrip(*wide, 1, false, half);
  EXPECT_EQ(RowStart(half, 0)[0], Red(15));  // (10 + 21) / 2, truncated
  EXPECT_EQ(RowStart(half, 0)[1], Red(142));
}

TEST_F(ImageStrips, ScaleEqualToTheImageFactorCopiesPixelsOneToOne) {
  AddTestImage(9201, 6, 9, [](int x, int y) { return 0x01020304u * (7 * x + 13 * y + 1) ^ 0x80402010u; });
  graphics.SetImageFactor(3);
  IImageStrip& strip = graphics.LoadImageStrip(9201, "test/copy.png", 1);
  EXPECT_EQ(strip.width, 2);
  EXPECT_EQ(strip.raster->Width(), 1);  // a placeholder until rendered
  graphics.RescaleImages(3.0);
  ASSERT_EQ(strip.width, 6);
  ASSERT_EQ(strip.height, 9);
  const std::unique_ptr<IRasterBitmap> original = TestImages()[9201]();
  for (int y = 0; y < 9; ++y) {
    for (int x = 0; x < 6; ++x) EXPECT_EQ(RowStart(*strip.raster, y)[x], RowStart(*original, y)[x]);
  }
}

TEST_F(ImageStrips, ThreeFrameStripGetsASpareRowPerFrameAndFramesBlitFromTheirRows) {
  const uint32_t colours[3] = {0xFF123456, 0xFFABCDEF, 0x80FF8000};
  AddTestImage(9202, 103, 108, [&](int, int y) { return colours[y / 36]; });
  graphics.SetImageFactor(3);
  IImageStrip& strip = graphics.LoadImageStrip(9202, "test/trim.png", 3);
  EXPECT_EQ(strip.width, 34);  // 103 / 3
  EXPECT_EQ(strip.height, 36);
  // Built before the images are rendered, a control keeps frames of 12 rows.
  graphics.AddControl(std::make_unique<IBitmapControl>(&effect, 0, 0, -1, strip, BlendOpaque));
  EXPECT_EQ(graphics.GetControl(0)->DrawRect(), (IBounds{0, 0, 34, 12}));

  graphics.RescaleImages(1.0);
  ASSERT_EQ(strip.width, 34);
  ASSERT_EQ(strip.height, 39);
  for (int y = 0; y < 39; ++y) {
    const bool spare = y == 12 || y == 25 || y == 38;
    EXPECT_EQ(RowStart(*strip.raster, y)[0], spare ? 0u : colours[y / 13]) << y;
    EXPECT_TRUE(!spare || RowStart(*strip.raster, y)[20] == 0u) << y;
  }
  graphics.GetControl(0)->SetValueFromEffect(0.5);  // frame 2, from row 13
  graphics.PaintArea({0, 0, 720, 420});
  for (int y = 0; y < 12; ++y) EXPECT_EQ(SurfacePixel(graphics, 0, y), colours[1]) << y;
  EXPECT_EQ(SurfacePixel(graphics, 0, 12), 0u);
}

TEST_F(ImageStrips, ASecondLoadSharesTheRasterAndEveryEntryIsRerendered) {
  AddTestImage(9203, 4, 4, [](int x, int y) { return 0xFF000000u | (x * 40 + y); });
  const int entries = StripRegistry::Instance().Count();
  IImageStrip& first = graphics.LoadImageStrip(9203, "test/shared.png", 1);
  IImageStrip& second = graphics.LoadImageStrip(9203, "test/shared.png", 1);
  EXPECT_EQ(StripRegistry::Instance().Count(), entries + 2);
  EXPECT_EQ(second.raster, first.raster);
  EXPECT_EQ(RasterCache::Instance().Find(9203), first.raster);
  graphics.RescaleImages(2.0);
  EXPECT_EQ(first.width, 8);
  EXPECT_EQ(second.width, 8);
  // A missing image is a strip of size 0, which rescaling leaves alone.
  IImageStrip& missing = graphics.LoadImageStrip(9204, "test/missing.png", 1);
  graphics.RescaleImages(1.0);
  EXPECT_EQ(missing.width, 0);
}

// A later editor of the process loads its strips after the images were
// rendered for a scale: its controls are still laid out at scale 1, and a
// change of scale renders each image once however many editors share it.
TEST_F(ImageStrips, StripsLoadedAfterRenderingKeepTheirScaleOneSizeAndRenderOnce) {
  int decodes = 0;
  AddTestImage(9205, 66, 120, [](int, int) { return 0xFFFFFFFFu; });
  const auto decode = TestImages()[9205];
  TestImages()[9205] = [&] { return ++decodes, decode(); };
  graphics.SetImageFactor(3);
  IImageStrip& first = graphics.LoadImageStrip(9205, "test/handle.png", 1);
  graphics.RescaleImages(2.0);
  ASSERT_EQ(first.height, 80);
  IImageStrip& later = graphics.LoadImageStrip(9205, "test/handle.png", 1);
  EXPECT_EQ(later.width, 44);  // what the shared raster holds now
  EXPECT_EQ(later.unscaledWidth, 22);
  EXPECT_EQ(later.unscaledHeight, 40);
  IFaderControl fader(&effect, 49, 70, 240, 0, later);
  EXPECT_EQ(fader.DrawRect(), (IBounds{49, 70, 71, 310}));
  fader.Rescale(2.0);
  EXPECT_EQ(fader.HandleSize(), 80);  // not twice the rendered 80
  IBitmapControl bitmap(&effect, 5, 6, -1, later);
  EXPECT_EQ(bitmap.DrawRect(), (IBounds{5, 6, 27, 46}));

  decodes = 0;
  graphics.RescaleImages(3.0);
  EXPECT_EQ(decodes, 1);
  EXPECT_EQ(first.height, 120);
  EXPECT_EQ(later.height, 120);
}

TEST_F(ImageStrips, FontsAreSharedAcrossQualitiesAndTextIsDrawnAndMeasured) {
  ITextStyle style;
  style.SetFontName("Arial");
  style.size = 13;
  style.colour = {255, 255, 255, 255};
  ITextStyle clearType = style;
  clearType.quality = TextQualityClearType;
  CachedFont* font = FontStore::Instance().FontFor(style);
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(FontStore::Instance().FontFor(clearType), font);
  clearType.size = 26;
  EXPECT_NE(FontStore::Instance().FontFor(clearType), font);

  IBounds box{10, 10, 110, 30};
  EXPECT_TRUE(graphics.RenderText(style, "0.0 dB", box, false));
  EXPECT_EQ(style.cachedFont, font);
  int inked = 0;
  for (int x = 0; x < 120; ++x) inked += SurfacePixel(graphics, x, 18) != 0;
  EXPECT_GT(inked, 5);
  EXPECT_TRUE(graphics.MeasureText(style, "0.0 dB", box));
  EXPECT_GT(box.Width(), 20);
  EXPECT_EQ(box.left, 10 + (100 - box.Width()) / 2);  // centred
  EXPECT_GE(box.Height(), 13);
}

}  // namespace torvane
