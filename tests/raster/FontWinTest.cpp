// The Windows side of text drawing: when GDI draws natively and when the glyph
// cache takes over (always under Wine, whose text output differs).
#include "system/win/WindowsApi.h"

#include <gtest/gtest.h>

#include <string>

#include "raster/FontTestSupport.h"
#include "raster/MemBitmap.h"
#include "raster/SysBitmap.h"
#include "system/win/ScopedGdiSelection.h"
#include "system/win/Utf8TextDrawing.h"
#include "system/win/WineDetection.h"

namespace torvane {

namespace {

constexpr uint32_t kWhite = 0xFFFFFFFF;
constexpr uint32_t kBlack = 0xFF000000;

// Wine's own marker, independent of the registry key the font looks at.
bool WineExportsItsVersion() {
  HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

}  // namespace

TEST(CachedFontWin, WineKeyIsDetectedAndOpaqueTextTakesTheGlyphCacheOnlyUnderWine) {
  const bool wine = WineExportsItsVersion();
  EXPECT_EQ(RunningUnderWine(), wine);

  auto font = MakeFont(13);  // prefer native, as the editor makes its fonts
  font->SetTextColour(kWhite);
  SysBitmap surface(60, 20);
  FillWith(surface, kBlack);
  RasterRect r = {4, 2, 60, 20};
  font->RenderTextInto(&surface, "A", -1, &r, 0);
  if (wine) {
    ASSERT_NE(font->FindGlyph('A'), nullptr);
    MemBitmap expected(60, 20);
    FillWith(expected, kBlack);
    CompositeGlyph(expected, *font, 'A', 4, 2, kWhite, 256);
    EXPECT_EQ(DifferingPixels(surface, expected), 0);
  } else {
    EXPECT_EQ(font->FindGlyph('A'), nullptr);
    EXPECT_NE(InkBounds(surface, kBlack).right, 0);
  }

  // Translucent text needs the cache everywhere.
  font->SetTextColour(0x80FFFFFF);
  font->RenderTextInto(&surface, "B", -1, &r, kTextUseColourAlpha);
  EXPECT_NE(font->FindGlyph('B'), nullptr);
}

TEST(CachedFontWin, LineHeightAbove255AlwaysDrawsNatively) {
  auto font = MakeFont(300);
  ASSERT_GT(font->LineHeight(), 255);
  font->SetTextColour(0x80FFFFFF);

  SysBitmap withContext(200, 320);
  MemBitmap withoutContext(200, 320);
  for (IRasterBitmap* bitmap : {static_cast<IRasterBitmap*>(&withContext),
                                static_cast<IRasterBitmap*>(&withoutContext)}) {
    FillWith(*bitmap, kBlack);
    RasterRect r = {60, 0, 200, 320};
    EXPECT_EQ(font->RenderTextInto(bitmap, "I", -1, &r, kTextUseColourAlpha), font->LineHeight());
    const RasterRect ink = InkBounds(*bitmap, kBlack);
    EXPECT_GT(ink.right, ink.left);
    // Nothing left of the text box and its overhang margin was touched.
    EXPECT_GE(ink.left, 60 - (font->LineHeight() / 16 + 2));
  }
  EXPECT_EQ(font->FindGlyph('I'), nullptr);
  // Drawing through the scratch bitmap places the text as GDI does in place.
  for (IRasterBitmap* bitmap : {static_cast<IRasterBitmap*>(&withContext),
                                static_cast<IRasterBitmap*>(&withoutContext)}) {
    FillWith(*bitmap, kBlack);
    RasterRect r = {30, 10, 190, 330};
    font->RenderTextInto(bitmap, "Ij", -1, &r, kTextCentre | kTextBottom | kTextSingleLine);
  }
  EXPECT_GT(InkBounds(withContext, kBlack).right, 0);
  EXPECT_EQ(DifferingPixels(withContext, withoutContext), 0);
  RasterRect measured = {5, 5, 5, 5};
  EXPECT_EQ(font->RenderTextInto(nullptr, "I\nI", -1, &measured, kTextMeasure),
            2 * font->LineHeight());
  EXPECT_EQ(measured.bottom - measured.top, 2 * font->LineHeight());
  EXPECT_EQ(font->FindGlyph('I'), nullptr);
}

TEST(Utf8TextDrawing, MalformedTextDrawsReplacementCharactersAndLongTextFits) {
  HFONT font = static_cast<HFONT>(CreateSystemFont({"Arial", 20, 0, 400, false, 2}));
  ASSERT_NE(font, nullptr);
  HDC context = CreateCompatibleDC(nullptr);
  {
    ScopedGdiSelection selection(context, font);
    auto extent = [&](const std::string& text, UINT lines) {
      RECT r = {0, 0, 0, 0};
      DrawUtf8Text(context, text.data(), static_cast<int>(text.size()), &r,
                   DT_CALCRECT | DT_NOPREFIX | lines);
      return r;
    };
    auto width = [&](const std::string& text) { return extent(text, DT_SINGLELINE).right; };
    EXPECT_EQ(width("A\xFF" "B"), width("A\xEF\xBF\xBD" "B"));
    EXPECT_GT(width("A\xFF" "B"), width("AB"));
    // Longer than the conversion buffer on the stack (two lines, since Wine
    // lays out at most 1024 characters of one line).
    std::string line;
    for (int i = 0; i < 600; ++i) line += "\xC3\xA9";
    const RECT two = extent(line + "\n" + line, 0);
    const RECT one = extent(line, 0);
    EXPECT_EQ(two.right, 600 * width("\xC3\xA9"));
    EXPECT_EQ(two.bottom, 2 * one.bottom);
  }
  DeleteDC(context);
  DeleteSystemFont(font);
}

}  // namespace torvane
