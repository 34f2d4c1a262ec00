// Native text drawing on Windows: GDI draws opaque text straight into a
// bitmap's device context, or into the shared scratch bitmap for bitmaps
// without one. Translucent text, glyph effects and Wine's differing text
// output take the glyph cache instead.
#include "system/win/WindowsApi.h"

#include <algorithm>

#include "raster/BlitMode.h"
#include "raster/BlitRegion.h"
#include "raster/CachedFont.h"
#include "raster/SharedTextSurfaces.h"
#include "system/win/ScopedGdiSelection.h"
#include "system/win/Utf8TextDrawing.h"
#include "system/win/WineDetection.h"

namespace torvane {

namespace {

// Font flags that only the glyph cache can honour.
constexpr int kCacheOnlyFontFlags = 0x1F7;
// The glyph cache stops here; larger fonts are always drawn natively.
constexpr int kLargestCachePreferredHeight = 255;
// Our own flags are not text-format values.
constexpr uint32_t kOwnTextFlags = kTextUseColourAlpha | kTextRawMeasure;

RECT ToRect(const RasterRect& r) { return {r.left, r.top, r.right, r.bottom}; }

COLORREF ToColorRef(uint32_t argb) {
  return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
}

// Keeps a device context's clip region for one scope and puts it back after;
// used on the thread that draws the text.
class ScopedClipRegion {
 public:
  explicit ScopedClipRegion(HDC context) noexcept
      : context_(context), saved_(CreateRectRgn(0, 0, 0, 0)) {
    hadRegion_ = saved_ && GetClipRgn(context_, saved_) == 1;
  }
  ~ScopedClipRegion() {
    SelectClipRgn(context_, hadRegion_ ? saved_ : nullptr);
    if (saved_) DeleteObject(saved_);
  }
  ScopedClipRegion(const ScopedClipRegion&) = delete;
  ScopedClipRegion& operator=(const ScopedClipRegion&) = delete;

 private:
  HDC context_;
  HRGN saved_;
  bool hadRegion_ = false;
};

}  // namespace

int CachedFont::DrawOrMeasure(IRasterBitmap* bitmap, const char* text, int length,
                              RasterRect* rect, uint32_t textFlags) noexcept {
  if (UsesNativeDrawing(textFlags)) return DrawNatively(bitmap, text, length, rect, textFlags);
  return DrawFromCache(bitmap, text, length, rect, textFlags);
}

bool CachedFont::UsesNativeDrawing(uint32_t textFlags) const noexcept {
  if (!font_) return false;
  const bool preferred = (fontFlags_ & kFontPreferNative) && !(textFlags & kTextRawMeasure) &&
                         !RunningUnderWine() && !(textFlags & kTextUseColourAlpha) &&
                         !(fontFlags_ & kCacheOnlyFontFlags);
  return preferred || lineHeight_ > kLargestCachePreferredHeight;
}

int CachedFont::DrawNatively(IRasterBitmap* bitmap, const char* text, int length,
                             RasterRect* rect, uint32_t textFlags) noexcept {
  const bool measure = textFlags & (kTextMeasure | kTextRawMeasure);
  UINT format = (textFlags & ~kOwnTextFlags) | DT_NOPREFIX | (measure ? DT_CALCRECT : 0);
  HFONT font = static_cast<HFONT>(font_);
  // Colours and background as the font's settings say, for one drawing call.
  auto prepare = [&](HDC context) {
    SetTextColor(context, ToColorRef(textColour_));
    SetBkMode(context, backgroundMode_);
    if (backgroundMode_ == kBackgroundOpaque) SetBkColor(context, ToColorRef(backgroundColour_));
  };

  if (bitmap && bitmap->DeviceContext()) {
    HDC context = static_cast<HDC>(bitmap->DeviceContext());
    ScopedGdiSelection selection(context, font);
    prepare(context);
    RECT r = ToRect(*rect);
    const int result = DrawUtf8Text(context, text, length, &r, format);
    GdiFlush();
    if (measure) *rect = {r.left, r.top, r.right, r.bottom};
    return result;
  }

  // No context of its own: measure in the scratch bitmap, draw there over a
  // copy of the destination and copy the result back.
  SharedTextSurfaces::Lease lease;
  SysBitmap* scratch = lease.Scratch(4, 4);
  if (!scratch) return 0;
  RECT extent = ToRect(*rect);
  int textHeight = 0;
  {
    HDC context = static_cast<HDC>(scratch->DeviceContext());
    ScopedGdiSelection selection(context, font);
    textHeight = DrawUtf8Text(context, text, length, &extent,
                              (format & ~kTextAlignmentMask) | DT_CALCRECT);
  }
  const int w = extent.right - extent.left;
  const int h = extent.bottom - extent.top;
  if (measure || !bitmap) {
    *rect = {rect->left, rect->top, rect->left + w, rect->top + h};
    return textHeight;
  }

  RasterRect box = {rect->left, rect->top, 0, 0};
  if (textFlags & kTextCentre) {
    box.left = (rect->left + rect->right - w) / 2;
  } else if (textFlags & kTextRight) {
    box.left = rect->right - w;
  }
  if (textFlags & kTextVerticalCentre) {
    box.top = (rect->top + rect->bottom - h) / 2;
  } else if (textFlags & kTextBottom) {
    box.top = rect->bottom - h;
  }
  box.right = box.left + w;
  box.bottom = box.top + h;
  const RasterRect textBox = box;

  box = {std::max(box.left, 0), std::max(box.top, 0), std::min(box.right, bitmap->Width()),
         std::min(box.bottom, bitmap->Height())};
  if (!(textFlags & kTextNoClip)) {
    box = {std::max(box.left, rect->left), std::max(box.top, rect->top),
           std::min(box.right, rect->right), std::min(box.bottom, rect->bottom)};
  }
  if (box.right <= box.left || box.bottom <= box.top) return 0;
  // Room for ink left of the first pen position (italics, negative bearings).
  const int overhang = std::max(2, lineHeight_ / 16 + 2);
  RasterRect region = box;
  region.left = std::max(0, box.left - overhang);
  const int regionWidth = region.right - region.left;
  const int regionHeight = region.bottom - region.top;
  scratch = lease.Scratch(regionWidth, regionHeight);
  if (!scratch) return 0;

  BlitRegion(scratch, bitmap, 0, 0, &region, 1.0f, BlitCopy);
  int result = 0;
  {
    HDC context = static_cast<HDC>(scratch->DeviceContext());
    ScopedGdiSelection selection(context, font);
    ScopedClipRegion savedClip(context);
    HRGN clip = CreateRectRgn(0, 0, regionWidth, regionHeight);
    SelectClipRgn(context, clip);
    if (clip) DeleteObject(clip);
    prepare(context);
    RECT target = {textBox.left - region.left, textBox.top - region.top,
                   textBox.right - region.left, textBox.bottom - region.top};
    result = DrawUtf8Text(context, text, length, &target, format);
    GdiFlush();
  }
  const RasterRect drawn = {0, 0, regionWidth, regionHeight};
  BlitRegion(bitmap, scratch, region.left, region.top, &drawn, alpha_, BlitCopy);
  return result;
}

}  // namespace torvane
