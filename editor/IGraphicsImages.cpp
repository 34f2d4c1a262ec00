// The image and text side of IGraphics: strips loaded once per process,
// re-rendered for each display scale, and text drawn with cached fonts.
#include <cmath>

#include "core/GrowableArray.h"
#include "editor/FontStore.h"
#include "editor/IGraphics.h"
#include "editor/ImageResampler.h"
#include "editor/RasterCache.h"
#include "editor/SharedStoresLock.h"
#include "editor/StripRegistry.h"
#include "raster/BlitMode.h"
#include "raster/BlitRegion.h"
#include "raster/ClearBitmap.h"
#include "raster/MemBitmap.h"

namespace torvane {

namespace {

// Larger images than this are refused rather than allocated: a scale read
// from a damaged settings file must not ask for gigabytes.
constexpr double kMaxImageSide = 16384.0;

// What a failed load leaves: a transparent pixel that strips of size 0 point at.
std::unique_ptr<IRasterBitmap> Placeholder() {
  auto placeholder = std::make_unique<MemBitmap>(1, 1);
  ClearBitmap(placeholder.get());
  return placeholder;
}

// The strip among those rendered so far that shares this strip's raster and
// frame layout; null when none does.
const IImageStrip* FindRendered(const GrowableArray<const IImageStrip*>& rendered, const IImageStrip& strip) {
  for (int i = 0; i < rendered.Count(); ++i) {
    const IImageStrip& earlier = *rendered[i];
    if (earlier.raster == strip.raster && earlier.frameCount == strip.frameCount &&
        earlier.sideBySide == strip.sideBySide) {
      return &earlier;
    }
  }
  return nullptr;
}

}  // namespace

bool IGraphics::PlatformImageSize(int resourceId, const char* resourceName, int& width, int& height) {
  const std::unique_ptr<IRasterBitmap> image = LoadPlatformImage(resourceId, resourceName);
  if (!image) return false;
  width = image->Width();
  height = image->Height();
  return true;
}

IImageStrip& IGraphics::LoadImageStrip(int resourceId, const char* resourceName, int frameCount) {
  ScopedLock stores(SharedStoresLock::Instance());
  IImageStrip strip;
  strip.frameCount = frameCount;
  RasterCache& cache = RasterCache::Instance();
  StripRegistry& registry = StripRegistry::Instance();
  if (IRasterBitmap* cached = cache.Find(resourceId)) {
    strip.raster = cached;
    strip.width = cached->Width();
    strip.height = cached->Height();
    // The raster may be rendered for some scale already; the size at scale 1
    // is the first load's.
    if (!registry.FindUnscaledSize(resourceId, strip.unscaledWidth, strip.unscaledHeight)) {
      strip.unscaledWidth = strip.width;
      strip.unscaledHeight = strip.height;
    }
  } else {
    if (imageFactor_ <= 1) {
      std::unique_ptr<IRasterBitmap> image = LoadPlatformImage(resourceId, resourceName);
      if (image) {
        strip.width = image->Width();
        strip.height = image->Height();
      }
      // A missing image stays a strip of size 0 that draws nothing.
      strip.raster = cache.Add(resourceId, image ? std::move(image) : Placeholder());
    } else {
      // The image is drawn at a fraction of its size, so until RescaleImages
      // renders it the strip reports that size and draws a placeholder; the
      // size alone is read now.
      int width = 0, height = 0;
      if (PlatformImageSize(resourceId, resourceName, width, height)) {
        const unsigned factor = static_cast<unsigned>(imageFactor_);
        strip.width = static_cast<int>(static_cast<unsigned>(width) / factor);
        strip.height = static_cast<int>(static_cast<unsigned>(height) / factor);
      }
      strip.raster = cache.Add(resourceId, Placeholder());
    }
    strip.unscaledWidth = strip.width;
    strip.unscaledHeight = strip.height;
  }
  if (IImageStrip* registered = registry.Add(resourceId, resourceName, strip)) return *registered;
  // Out of memory: a strip of its own that draws nothing.
  static IImageStrip noStrip;
  return noStrip;
}

void IGraphics::RescaleImages(double scale) {
  if (!(scale > 0.0) || !std::isfinite(scale)) return;
  ScopedLock stores(SharedStoresLock::Instance());
  StripRegistry& registry = StripRegistry::Instance();
  const int count = registry.Count();
  // Every editor built in the process registered its own strips of the same
  // images: each raster is rendered once, and the later strips take its size.
  GrowableArray<const IImageStrip*> renderedStrips(256);
  for (int i = 0; i < count; ++i) {
    StripRegistry::Entry* entry = registry.At(i);
    IImageStrip& strip = entry->strip;
    if (!strip.raster) continue;
    if (const IImageStrip* twin = FindRendered(renderedStrips, strip)) {
      strip.width = twin->width;
      strip.height = twin->height;
      continue;
    }
    std::unique_ptr<IRasterBitmap> image = LoadPlatformImage(entry->resourceId, entry->resourceName);
    if (!image) continue;
    const double width = (image->Width() / imageFactor_) * scale;
    const double height = (image->Height() / imageFactor_) * scale;
    if (width > kMaxImageSide || height > kMaxImageSide) continue;
    int w = static_cast<int>(width);
    int h = static_cast<int>(height);
    // One spare row (column) per frame keeps the resampled frames apart.
    if (strip.frameCount >= 2) (strip.sideBySide ? w : h) += strip.frameCount;
    MemBitmap rendered(w, h);
    ResampleStrip(*image, strip.frameCount, strip.sideBySide, rendered);
    strip.raster->SetSize(rendered.Width(), rendered.Height());
    BlitRegion(strip.raster, &rendered, 0, 0, nullptr, 1.0f, BlitCopy);
    strip.width = strip.raster->Width();
    strip.height = strip.raster->Height();
    renderedStrips.Add(&strip);
  }
}

bool IGraphics::RenderText(ITextStyle& style, const char* text, IBounds& rect, bool measureOnly) {
  if (!text || !*text) return true;
  ScopedLock stores(SharedStoresLock::Instance());
  if (!style.cachedFont) style.cachedFont = FontStore::Instance().FontFor(style);
  CachedFont* font = style.cachedFont;
  if (!font) return false;
  font->SetTextColour(style.colour.Packed());
  uint32_t flags = kTextNoClip;
  if (style.colour.alpha != 255) flags |= kTextUseColourAlpha;
  if (!measureOnly) {
    if (style.alignment == TextAlignCentre) flags |= kTextCentre;
    if (style.alignment > TextAlignCentre) flags |= kTextRight;
    RasterRect box{rect.left, rect.top, rect.right, rect.bottom};
    font->RenderTextInto(surface_.get(), text, -1, &box, flags);
    return true;
  }
  // The font gives the extent; the alignment places it in rect.
  RasterRect extent{0, 0, 0, 0};
  font->RenderTextInto(surface_.get(), text, -1, &extent, flags | kTextMeasure);
  const int width = extent.right - extent.left;
  const int height = extent.bottom - extent.top;
  int left = rect.left;
  if (style.alignment == TextAlignCentre) left = rect.left + (rect.Width() - width) / 2;
  if (style.alignment > TextAlignCentre) left = rect.right - width;
  rect = {left, rect.top, left + width, rect.top + height};
  return true;
}

IBounds IGraphics::TextInk(ITextStyle& style, const char* text, const IBounds& rect) {
  IBounds extent = rect;
  if (!text || !*text || !MeasureText(style, text, extent)) return {};
  // Glyph masks may start before their pen position or end past the measured
  // extent by a pixel or so (bold and antialiased edges).
  const int margin = style.size / 4 + 1;
  return {extent.left - margin, extent.top - margin, extent.right + margin, extent.bottom + margin};
}

}  // namespace torvane
