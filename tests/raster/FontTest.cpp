// Text through the glyph cache: every expected pixel is computed from the
// glyph's own coverage mask, so the tests hold for any version of the font.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "raster/BlitMode.h"
#include "raster/MemBitmap.h"
#include "raster/Utf8Decoder.h"
#include "raster/FontTestSupport.h"

namespace torvane {

namespace {

constexpr uint32_t kWhite = 0xFFFFFFFF;
constexpr uint32_t kBlack = 0xFF000000;
// Fonts that always draw through the glyph cache, whatever the platform.
constexpr int kCacheOnly = kFontOwnsSystemFont;

// The measured width of exactly these bytes, held in a buffer of exactly their
// size so that a read past the end is caught by the address sanitizer.
int MeasuredWidth(CachedFont& font, const std::string& bytes) {
  std::unique_ptr<char[]> exact(new char[bytes.size()]);
  std::memcpy(exact.get(), bytes.data(), bytes.size());
  RasterRect r = {0, 0, 0, 0};
  font.RenderTextInto(nullptr, exact.get(), static_cast<int>(bytes.size()), &r, kTextMeasure);
  return r.right;
}

}  // namespace

TEST(Utf8Decoder, DecodesValidSequencesAndReplacesEachMalformedPiece) {
  struct Case {
    const char* bytes;
    uint32_t codePoint;
    int length;
  };
  const Case cases[] = {
      {"A", 'A', 1},
      {"\xC3\xA9", 0xE9, 2},
      {"\xE2\x82\xAC", 0x20AC, 3},
      {"\xEF\xBF\xBF", 0xFFFF, 3},
      {"\xF0\x9F\x98\x80", 0x1F600, 4},
      {"\xF4\x8F\xBF\xBF", 0x10FFFF, 4},
      {"\x80", kReplacementCharacter, 1},          // stray continuation byte
      {"\xC0\xAF", kReplacementCharacter, 1},      // overlong lead
      {"\xE0\x80\xAF", kReplacementCharacter, 1},  // overlong three-byte form
      {"\xED\xA0\x80", kReplacementCharacter, 1},  // encoded surrogate
      {"\xF4\x90\x80\x80", kReplacementCharacter, 1},  // above U+10FFFF
      {"\xF5\x80", kReplacementCharacter, 1},
      {"\xFF", kReplacementCharacter, 1},
      {"\xE2\x82" "A", kReplacementCharacter, 2},  // broken before the last byte
  };
  for (const Case& c : cases) {
    const Utf8Character got = DecodeUtf8(c.bytes, static_cast<int>(std::strlen(c.bytes)));
    EXPECT_EQ(got.codePoint, c.codePoint) << c.bytes;
    EXPECT_EQ(got.length, c.length) << c.bytes;
  }
  // A sequence cut off by the end of the text takes only what is there.
  EXPECT_EQ(DecodeUtf8("\xF0\x9F\x98", 2).length, 2);
  EXPECT_EQ(DecodeUtf8("\xE2\x82\xAC", 1).codePoint, kReplacementCharacter);
}

TEST(CachedFont, ExpectedPixelsFollowTheCoverageByHand) {
  // Pins the helper the other tests compare against.
  EXPECT_EQ(ExpectedTextPixel(kBlack, kWhite, 255, 256), kWhite);
  EXPECT_EQ(ExpectedTextPixel(kBlack, kWhite, 128, 256), 0xFF818181u);   // 255 - 32385 / 256
  EXPECT_EQ(ExpectedTextPixel(kBlack, kWhite, 255, 128), 0xFF7F7F7Fu);   // h = 129
  EXPECT_EQ(ExpectedTextPixel(0x00000000, kWhite, 255, 128), 0x7F7F7F7Fu);
  EXPECT_EQ(ExpectedTextPixel(0x00000000, kWhite, 255, 256), kWhite);
}

TEST(CachedFont, LinesAreOneLineHeightApartAndSingleLineDrawsTheFeedAsASpace) {
  auto font = MakeFont(13, 700, kCacheOnly);
  ASSERT_NE(font->SystemFontHandle(), nullptr);
  font->SetTextColour(kWhite);
  const int lh = font->LineHeight();
  ASSERT_GE(lh, 12);

  auto draw = [&](const char* text, uint32_t flags, int* height = nullptr) {
    auto image = std::make_unique<MemBitmap>(70, 50);
    FillWith(*image, kBlack);
    RasterRect r = {10, 5, 70, 50};
    const int h = font->RenderTextInto(image.get(), text, -1, &r, flags);
    if (height) *height = h;
    return image;
  };
  int height = 0;
  auto twoLines = draw("A\nB", 0, &height);
  EXPECT_EQ(height, 2 * lh);
  MemBitmap expected(70, 50);
  FillWith(expected, kBlack);
  CompositeGlyph(expected, *font, 'A', 10, 5, kWhite, 256);
  CompositeGlyph(expected, *font, 'B', 10, 5 + lh, kWhite, 256);
  EXPECT_EQ(DifferingPixels(*twoLines, expected), 0);
  EXPECT_EQ(font->FindGlyph('A')->height, lh);
  EXPECT_EQ(DifferingPixels(*draw("A\r\nB", 0), expected), 0);

  auto single = draw("A\nB", kTextSingleLine);
  EXPECT_EQ(DifferingPixels(*single, *draw("A B", 0)), 0);
  EXPECT_NE(DifferingPixels(*single, *draw("AB", 0)), 0);
}

TEST(CachedFont, MeasuredExtentEqualsDrawnExtent) {
  auto font = MakeFont(13, 700, kCacheOnly);
  font->SetTextColour(kWhite);
  // Italic ink reaches past the last advance.
  auto italic = std::make_unique<CachedFont>();
  italic->AdoptSystemFont(CreateSystemFont({"Arial", 26, 0, 400, true, 2}), kCacheOnly);
  italic->SetTextColour(kWhite);
  RasterRect italicBox = {7, 3, 7, 3};
  italic->RenderTextInto(nullptr, "Tf", -1, &italicBox, kTextMeasure);
  MemBitmap italicImage(120, 50);
  FillWith(italicImage, 0);
  RasterRect at = {7, 3, 7, 3};
  italic->RenderTextInto(&italicImage, "Tf", -1, &at, kTextNoClip);
  const RasterRect italicInk = InkBounds(italicImage, 0);
  EXPECT_EQ(italicInk.right, italicBox.right);
  EXPECT_GT(italicInk.right, 7 + italic->FindGlyph('T')->advance + italic->FindGlyph('f')->advance);

  for (const char* text : {"0.0 dB", "-10.0 dB", "30 Hz ", "Wj\nfT", "5.5 "}) {
    RasterRect m = {7, 3, 7, 3};
    const int measuredHeight = font->RenderTextInto(nullptr, text, -1, &m, kTextMeasure);
    const int w = m.right - m.left, h = m.bottom - m.top;
    EXPECT_EQ(measuredHeight, h) << text;
    EXPECT_EQ(h, (std::strchr(text, '\n') ? 2 : 1) * font->LineHeight()) << text;

    auto draw = [&](RasterRect r, uint32_t flags) {
      auto image = std::make_unique<MemBitmap>(120, 50);
      FillWith(*image, 0);
      EXPECT_EQ(font->RenderTextInto(image.get(), text, -1, &r, flags | kTextNoClip), h) << text;
      return image;
    };
    auto left = draw({7, 3, 7, 3}, 0);
    const RasterRect ink = InkBounds(*left, 0);
    EXPECT_GE(ink.left, m.left) << text;
    EXPECT_LE(ink.right, m.right) << text;
    EXPECT_GE(ink.top, m.top) << text;
    EXPECT_LE(ink.bottom, m.bottom) << text;
    // Every alignment places the measured box exactly.
    EXPECT_EQ(DifferingPixels(*left, *draw({-50, 3, 7 + w, 3}, kTextRight)), 0) << text;
    EXPECT_EQ(DifferingPixels(*left, *draw({-13, 3, 7 + w + 20, 3}, kTextCentre)), 0) << text;
    EXPECT_EQ(DifferingPixels(*left, *draw({7, -7, 7, 3 + h + 10}, kTextVerticalCentre)), 0);
    EXPECT_EQ(DifferingPixels(*left, *draw({7, -30, 7, 3 + h}, kTextBottom)), 0) << text;
  }
  // A single line ending in a space is as wide as its advances.
  RasterRect m = {0, 0, 0, 0};
  font->RenderTextInto(nullptr, "5.5 ", -1, &m, kTextMeasure);
  int advances = 0;
  for (char c : std::string("5.5 ")) advances += font->FindGlyph(c)->advance;
  EXPECT_EQ(m.right, advances);
}

TEST(CachedFont, TranslucentTextBlendsAtHalfAlpha) {
  auto font = MakeFont(13, 700, kCacheOnly);
  const uint32_t background[2] = {0xFF204060, 0x00000000};
  auto draw = [&](uint32_t colour, float alpha, uint32_t flags) {
    auto image = std::make_unique<MemBitmap>(60, 20);
    for (int y = 0; y < 20; ++y) {
      for (int x = 0; x < 60; ++x) SetPixel(*image, x, y, background[x / 30]);
    }
    font->SetTextColour(colour);
    font->SetBlend(BlitCopy, alpha);
    RasterRect r = {2, 2, 60, 20};
    font->RenderTextInto(image.get(), "Ag Ag Ag", -1, &r, flags);
    return image;
  };
  auto halfColour = draw(0x80FFFFFF, 1.0f, kTextUseColourAlpha);
  MemBitmap expected(60, 20);
  for (int y = 0; y < 20; ++y) {
    for (int x = 0; x < 60; ++x) SetPixel(expected, x, y, background[x / 30]);
  }
  int pen = 2;
  for (char c : std::string("Ag Ag Ag")) {
    // 128 / 255 of full opacity is a weight of 128.
    CompositeGlyph(expected, *font, c, pen, 2, 0x80FFFFFF, 128);
    pen += font->FindGlyph(c)->advance;
  }
  EXPECT_EQ(DifferingPixels(*halfColour, expected), 0);
  EXPECT_EQ(DifferingPixels(*draw(kWhite, 0.5f, 0), expected), 0);

  auto untouched = draw(0xFFFFFFFF, 0.0f, 0);
  EXPECT_EQ(InkBounds(*untouched, background[0]).right, 60);  // the right half only
  EXPECT_EQ(InkBounds(*untouched, background[0]).left, 30);
  auto transparent = draw(0x00FFFFFF, 1.0f, kTextUseColourAlpha);
  EXPECT_EQ(DifferingPixels(*transparent, *untouched), 0);
}

TEST(CachedFont, CodePointAbove127IsRenderedInsertedSortedAndDrawnInTheSameCall) {
  auto font = MakeFont(13, 400, kCacheOnly);
  font->SetTextColour(kWhite);
  EXPECT_EQ(font->FindGlyph(0xE9), nullptr);
  MemBitmap image(30, 20);
  FillWith(image, kBlack);
  RasterRect r = {4, 2, 30, 20};
  font->RenderTextInto(&image, "\xC3\xA9", -1, &r, 0);  // é
  const CachedFont::Glyph* e = font->FindGlyph(0xE9);
  ASSERT_NE(e, nullptr);
  ASSERT_GT(e->width, 0);
  MemBitmap expected(30, 20);
  FillWith(expected, kBlack);
  CompositeGlyph(expected, *font, 0xE9, 4, 2, kWhite, 256);
  EXPECT_EQ(DifferingPixels(image, expected), 0);
  const std::vector<uint8_t> mask(font->Coverage(*e), font->Coverage(*e) + e->width * e->height);

  // Out of order, so that only a sorted list finds them all by binary search.
  const char* more = "\xE2\x82\xAC\xC3\xBC\xD0\x96\xCE\xA9\xC3\xA0\xE2\x80\x94\xC3\x9F";
  RasterRect wide = {0, 0, 0, 0};
  font->RenderTextInto(nullptr, more, -1, &wide, kTextMeasure);
  for (uint32_t c : {0x20ACu, 0xFCu, 0x416u, 0x3A9u, 0xE0u, 0x2014u, 0xDFu, 0xE9u}) {
    EXPECT_NE(font->FindGlyph(c), nullptr) << std::hex << c;
  }
  e = font->FindGlyph(0xE9);
  EXPECT_TRUE(std::equal(mask.begin(), mask.end(), font->Coverage(*e)));
}

TEST(CachedFont, MalformedUtf8DrawsReplacementGlyphsAndStaysWithinTheText) {
  auto font = MakeFont(13, 400, kCacheOnly);
  const std::string replacement = "\xEF\xBF\xBD";
  auto replaced = [&](int n) {
    std::string s = "A";
    for (int i = 0; i < n; ++i) s += replacement;
    return MeasuredWidth(*font, s);
  };
  ASSERT_GT(replaced(1), MeasuredWidth(*font, "A"));
  EXPECT_EQ(MeasuredWidth(*font, "A\xE2\x82"), replaced(1));       // truncated at the end
  EXPECT_EQ(MeasuredWidth(*font, "A\xF0\x9F\x98"), replaced(1));
  EXPECT_EQ(MeasuredWidth(*font, "A\xC0\xAF"), replaced(2));       // overlong
  EXPECT_EQ(MeasuredWidth(*font, "A\xED\xA0\x80"), replaced(3));   // surrogate
  EXPECT_EQ(MeasuredWidth(*font, "A\xF5\xFF"), replaced(2));
  EXPECT_EQ(MeasuredWidth(*font, "A\xF0\x9F\x98\x80"), MeasuredWidth(*font, "A "));
  // A length past a terminator stops at the terminator.
  RasterRect r = {0, 0, 0, 0};
  font->RenderTextInto(nullptr, "AB\0CD", 5, &r, kTextMeasure);
  EXPECT_EQ(r.right, MeasuredWidth(*font, "AB"));

  // Drawing an exactly sized broken text stays inside it as well.
  MemBitmap image(60, 20);
  std::unique_ptr<char[]> exact(new char[3]{'A', '\xE2', '\x82'});
  RasterRect box = {0, 0, 60, 20};
  EXPECT_EQ(font->RenderTextInto(&image, exact.get(), 3, &box, 0), font->LineHeight());
}

TEST(CachedFont, DrawsOnlyInsideTheRectangleUnlessNoClip) {
  auto font = MakeFont(13, 700, kCacheOnly);
  font->SetTextColour(kWhite);
  MemBitmap clipped(80, 30), unclipped(80, 30);
  FillWith(clipped, kBlack);
  FillWith(unclipped, kBlack);
  RasterRect r = {10, 2, 18, 12};
  font->RenderTextInto(&clipped, "WWWW", -1, &r, 0);
  r = {10, 2, 18, 12};
  font->RenderTextInto(&unclipped, "WWWW", -1, &r, kTextNoClip);
  const RasterRect inside = InkBounds(clipped, kBlack);
  EXPECT_GE(inside.left, 10);
  EXPECT_LE(inside.right, 18);
  EXPECT_LE(inside.bottom, 12);
  EXPECT_GT(inside.right, inside.left);
  EXPECT_GT(InkBounds(unclipped, kBlack).right, 40);

  // A rectangle outside the bitmap draws nothing; drawing far off never wraps.
  MemBitmap untouched(80, 30);
  FillWith(untouched, kBlack);
  for (RasterRect outside : {RasterRect{90, 0, 120, 20}, RasterRect{-40, 0, -5, 20}}) {
    EXPECT_EQ(font->RenderTextInto(&untouched, "WWWW", -1, &outside, 0), 0);
  }
  RasterRect far = {0x7FFFFFF0, 0x7FFFFFF0, 0x7FFFFFF0, 0x7FFFFFF0};
  font->RenderTextInto(&untouched, "WWWW", -1, &far, kTextNoClip);
  EXPECT_EQ(InkBounds(untouched, kBlack).right, 0);
}

TEST(CachedFont, CoverageFlagsPickColoursAndOpaqueBackgroundFillsTheGlyphBox) {
  const uint32_t text = 0xFF112233, effect = 0xFF00FF00, background = 0xFF0000FF;
  for (int flag : {kFontNoAntialias, kFontEffect}) {
    auto font = MakeFont(20, 400, kCacheOnly | flag);
    font->SetTextColour(text);
    font->SetEffectColour(effect);
    MemBitmap image(40, 30);
    FillWith(image, kBlack);
    RasterRect r = {5, 1, 40, 30};
    font->RenderTextInto(&image, "O", -1, &r, 0);
    const CachedFont::Glyph* o = font->FindGlyph('O');
    ASSERT_NE(o, nullptr);
    const uint8_t* mask = font->Coverage(*o);
    int partial = 0;
    for (int y = 0; y < o->height; ++y) {
      for (int x = 0; x < o->width; ++x) {
        const int k = mask[y * o->width + x];
        uint32_t want = kBlack;
        if (k) want = flag == kFontNoAntialias || k == 255 ? text : effect;
        partial += k > 0 && k < 255;
        ASSERT_EQ(PixelAt(image, 5 - o->placement + x, 1 + y), want) << flag << " " << x << "," << y;
      }
    }
    EXPECT_GT(partial, 0);  // the mask is antialiased; the flags decide the colours
  }

  auto font = MakeFont(20, 400, kCacheOnly);
  font->SetTextColour(kWhite);
  font->SetBackgroundColour(background);
  EXPECT_EQ(font->SetBackgroundMode(kBackgroundOpaque), kBackgroundTransparent);
  MemBitmap image(40, 30);
  FillWith(image, kBlack);
  RasterRect r = {5, 1, 40, 30};
  font->RenderTextInto(&image, "O", -1, &r, 0);
  const CachedFont::Glyph* o = font->FindGlyph('O');
  MemBitmap expected(40, 30);
  FillWith(expected, kBlack);
  for (int y = 0; y < o->height; ++y) {
    for (int x = 0; x < o->width; ++x) SetPixel(expected, 5 - o->placement + x, 1 + y, background);
  }
  CompositeGlyph(expected, *font, 'O', 5, 1, kWhite, 256);
  EXPECT_EQ(DifferingPixels(image, expected), 0);
}

TEST(CachedFont, RotatedFontsDrawTheHorizontalTextTurnedAQuarter) {
  const char* text = "AB\nCy";
  auto flat = MakeFont(15, 400, kCacheOnly);
  flat->SetTextColour(kWhite);
  RasterRect m = {0, 0, 0, 0};
  flat->RenderTextInto(nullptr, text, -1, &m, kTextMeasure);
  const int w = m.right, h = m.bottom;
  MemBitmap horizontal(w, h);
  FillWith(horizontal, kBlack);
  flat->RenderTextInto(&horizontal, text, -1, &m, 0);
  ASSERT_GT(InkBounds(horizontal, kBlack).right, 0);

  for (bool up : {false, true}) {
    auto turned = MakeFont(15, 400, kCacheOnly | kFontRotated | (up ? kFontRotatedUpward : 0));
    turned->SetTextColour(kWhite);
    RasterRect tm = {0, 0, 0, 0};
    EXPECT_EQ(turned->RenderTextInto(nullptr, text, -1, &tm, kTextMeasure), h);
    EXPECT_EQ(tm.right, h);
    EXPECT_EQ(tm.bottom, w);
    MemBitmap image(h, w);
    FillWith(image, kBlack);
    EXPECT_EQ(turned->RenderTextInto(&image, text, -1, &tm, 0), h);
    int mismatches = 0;
    for (int y = 0; y < w; ++y) {
      for (int x = 0; x < h; ++x) {
        // Down: the first line on the right, read top to bottom; up: on the
        // left, read bottom to top.
        const uint32_t want = up ? PixelAt(horizontal, w - 1 - y, x) : PixelAt(horizontal, y, h - 1 - x);
        mismatches += PixelAt(image, x, y) != want;
      }
    }
    EXPECT_EQ(mismatches, 0) << (up ? "up" : "down");
  }
}

TEST(CachedFont, SmoothingFlagFiltersEachRowOneTwoOne) {
  auto plain = MakeFont(20, 400, kCacheOnly);
  auto smooth = MakeFont(20, 400, kCacheOnly | kFontSmoothGlyphs);
  RasterRect r = {0, 0, 0, 0};
  plain->RenderTextInto(nullptr, "k", -1, &r, kTextMeasure);
  smooth->RenderTextInto(nullptr, "k", -1, &r, kTextMeasure);
  const CachedFont::Glyph* p = plain->FindGlyph('k');
  const CachedFont::Glyph* s = smooth->FindGlyph('k');
  ASSERT_EQ(p->height, s->height);
  // Coverage by pen-relative column, zero outside the mask.
  auto at = [](const CachedFont& f, const CachedFont::Glyph& g, int x, int y) {
    const int column = x + g.placement;
    return column < 0 || column >= g.width ? 0 : f.Coverage(g)[y * g.width + column];
  };
  for (int y = 0; y < p->height; ++y) {
    for (int x = -p->placement - 2; x < p->width + 2; ++x) {
      const int want = (at(*plain, *p, x - 1, y) + 2 * at(*plain, *p, x, y) + at(*plain, *p, x + 1, y)) / 4;
      ASSERT_EQ(at(*smooth, *s, x, y), want) << x << "," << y;
    }
  }
}

TEST(CachedFont, GlyphBoxesFollowTheLineHeightAndTheWeight) {
  for (int size : {13, 39}) {
    auto bold = MakeFont(size, 700, kCacheOnly);
    auto regular = MakeFont(size, 400, kCacheOnly);
    ASSERT_NE(bold->SystemFontHandle(), nullptr);
    EXPECT_GE(bold->LineHeight(), size - 1);
    EXPECT_LE(bold->LineHeight(), size + 2);
    RasterRect r = {0, 0, 0, 0};
    bold->RenderTextInto(nullptr, "W", -1, &r, kTextMeasure);
    regular->RenderTextInto(nullptr, "W", -1, &r, kTextMeasure);
    const CachedFont::Glyph* b = bold->FindGlyph('W');
    const CachedFont::Glyph* n = regular->FindGlyph('W');
    EXPECT_EQ(b->height, bold->LineHeight());
    auto ink = [](const CachedFont& f, const CachedFont::Glyph& g) {
      long sum = 0;
      for (int i = 0; i < g.width * g.height; ++i) sum += f.Coverage(g)[i];
      return sum;
    };
    EXPECT_GT(ink(*bold, *b), ink(*regular, *n) * 11 / 10) << size;

    // A new platform font empties the cache.
    bold->AdoptSystemFont(CreateSystemFont({"Arial", size, 0, 400, false, 2}), kCacheOnly);
    EXPECT_EQ(bold->FindGlyph('W'), nullptr);
  }
}

TEST(CachedFont, FontsOnSeveralThreadsShareTheRenderingSurfaceSafely) {
  const char* text = "0123456789 .-dBHz\xC3\xA9\xC3\xBC";
  auto render = [&](MemBitmap* image) {
    auto font = MakeFont(17, 700, kCacheOnly);
    font->SetTextColour(kWhite);
    for (int i = 0; i < 10; ++i) {
      FillWith(*image, kBlack);
      font->AdoptSystemFont(CreateSystemFont({"Arial", 17, 0, 700, false, 2}), kCacheOnly);
      RasterRect r = {0, 0, image->Width(), image->Height()};
      font->RenderTextInto(image, text, -1, &r, 0);
    }
  };
  MemBitmap reference(200, 24);
  render(&reference);
  std::vector<std::unique_ptr<MemBitmap>> images;
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    images.push_back(std::make_unique<MemBitmap>(200, 24));
    threads.emplace_back(render, images.back().get());
  }
  for (auto& thread : threads) thread.join();
  for (const auto& image : images) EXPECT_EQ(DifferingPixels(*image, reference), 0);
}

}  // namespace torvane
