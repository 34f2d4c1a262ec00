#include "raster/CachedFont.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>

#include "raster/FillRegion.h"
#include "raster/PixelOps.h"
#include "raster/SharedTextSurfaces.h"
#include "raster/Utf8Decoder.h"

namespace torvane {

namespace {

// Above this line height no glyph is cached (each mask would take megabytes);
// Windows draws such fonts natively, elsewhere they draw nothing.
constexpr int kMaxCachedLineHeight = 1023;
// The shared surface is at least this large once a font has been adopted.
constexpr int kInitialSurfaceSide = 256;
constexpr uint32_t kOpaqueBlack = 0xFF000000;

// Pixels of ink a glyph may have left of its pen position (italics, negative
// bearings); the rendering box leaves this much room on each side.
int GlyphMargin(int lineHeight) { return lineHeight < 16 ? 2 : lineHeight / 16 + 2; }

// The intersection of a and b; empty (right <= left) when they do not meet.
RasterRect Intersect(const RasterRect& a, const RasterRect& b) {
  return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
          std::min(a.bottom, b.bottom)};
}

bool IsEmpty(const RasterRect& r) { return r.right <= r.left || r.bottom <= r.top; }

int ClampToInt(int64_t v) {
  return static_cast<int>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

// A light horizontal [1 2 1] / 4 smoothing of a mask, row by row in place.
void SmoothRows(uint8_t* mask, int width, int height) {
  for (int y = 0; y < height; ++y) {
    uint8_t* row = mask + static_cast<ptrdiff_t>(y) * width;
    int previous = 0;
    for (int x = 0; x < width; ++x) {
      const int current = row[x];
      const int next = x + 1 < width ? row[x + 1] : 0;
      row[x] = static_cast<uint8_t>((previous + 2 * current + next) / 4);
      previous = current;
    }
  }
}

// Turns a width x height mask a quarter turn into target (height x width):
// clockwise the glyph tops face right, otherwise left.
void TurnMask(const uint8_t* mask, int width, int height, bool clockwise, uint8_t* target) {
  for (int y = 0; y < width; ++y) {
    for (int x = 0; x < height; ++x) {
      const int column = clockwise ? y : width - 1 - y;
      const int row = clockwise ? height - 1 - x : x;
      target[y * height + x] = mask[row * width + column];
    }
  }
}

bool ColumnIsEmpty(const uint8_t* mask, int width, int height, int x) {
  for (int y = 0; y < height; ++y) {
    if (mask[static_cast<ptrdiff_t>(y) * width + x]) return false;
  }
  return true;
}

// The antialiased copy of the text colour c over the pixel d with coverage k
// (1..255) at weight w (1..256). At full weight h = 255 - k, so that full
// coverage lands exactly on the colour; the alpha moves toward opaque by the
// same share, taken as a byte.
uint32_t AntialiasedCopy(uint32_t d, const pixel::Channels& c, int k, int w) {
  const int h = w == 256 ? 255 - k : 256 - std::min(256, w * k / 256);
  const pixel::Channels dc = pixel::Unpack(d);
  const int alpha = ((dc.alpha - 255) * h / 256 - 1) & 0xFF;
  return pixel::Pack(c.blue + (dc.blue - c.blue) * h / 256, c.green + (dc.green - c.green) * h / 256,
                     c.red + (dc.red - c.red) * h / 256, alpha);
}

}  // namespace

CachedFont::CachedFont() noexcept : others_(64 * sizeof(Glyph)) {
  SharedTextSurfaces::AddFont();
  ClearCache();
}

CachedFont::~CachedFont() {
  if ((fontFlags_ & kFontOwnsSystemFont) && font_) DeleteSystemFont(font_);
  SharedTextSurfaces::RemoveFont();
}

void CachedFont::AdoptSystemFont(SystemFont font, int flags) noexcept {
  if ((fontFlags_ & kFontOwnsSystemFont) && font_ && font_ != font) DeleteSystemFont(font_);
  font_ = font;
  fontFlags_ = flags;
  lineHeight_ = 0;
  if (font_) {
    SharedTextSurfaces::Lease lease;
    SysBitmap* surface = lease.GlyphSurface(kInitialSurfaceSide);
    lineHeight_ = SystemFontLineHeight(font_, surface ? surface->DeviceContext() : nullptr);
  }
  ClearCache();
  if (font_ && (fontFlags_ & kFontPreloadAscii)) {
    for (Glyph& glyph : direct_) Render(&glyph);
  }
}

uint32_t CachedFont::SetTextColour(uint32_t colour) noexcept {
  return std::exchange(textColour_, colour);
}

uint32_t CachedFont::SetBackgroundColour(uint32_t colour) noexcept {
  return std::exchange(backgroundColour_, colour);
}

uint32_t CachedFont::SetEffectColour(uint32_t colour) noexcept {
  return std::exchange(effectColour_, colour);
}

int CachedFont::SetBackgroundMode(int mode) noexcept { return std::exchange(backgroundMode_, mode); }

void CachedFont::SetBlend(int mode, float alpha) noexcept {
  blendMode_ = mode;
  alpha_ = alpha;
}

int CachedFont::RenderTextInto(IRasterBitmap* bitmap, const char* utf8, int length,
                               RasterRect* rect, uint32_t textFlags) noexcept {
  if (!utf8 || !rect) return 0;
  if (!bitmap && !(textFlags & (kTextMeasure | kTextRawMeasure))) return 0;
  // A given length never takes the text past a terminator.
  int bytes = 0;
  if (length < 0) {
    bytes = static_cast<int>(std::strlen(utf8));
  } else {
    const void* end = std::memchr(utf8, 0, static_cast<size_t>(length));
    bytes = end ? static_cast<int>(static_cast<const char*>(end) - utf8) : length;
  }
  return DrawOrMeasure(bitmap, utf8, bytes, rect, textFlags);
}

bool CachedFont::DrawGlyph(IRasterBitmap* bitmap, uint32_t codePoint, int x, int y,
                           const RasterRect* clip) noexcept {
  const Glyph* glyph = FindGlyph(codePoint);
  if (!glyph || glyph->maskOffset < 0) return false;
  BlendGlyph(bitmap, *glyph, x, y, clip, alpha_);
  return true;
}

const CachedFont::Glyph* CachedFont::FindGlyph(uint32_t codePoint) const noexcept {
  const Glyph* found = nullptr;
  if (codePoint < kDirectGlyphs) {
    found = &direct_[codePoint];
  } else {
    const Glyph* begin = others_.Data();
    const Glyph* end = begin + others_.Count();
    const Glyph* it = std::lower_bound(
        begin, end, codePoint, [](const Glyph& g, uint32_t c) { return g.codePoint < c; });
    if (it != end && it->codePoint == codePoint) found = it;
  }
  return found && found->maskOffset != 0 ? found : nullptr;
}

const uint8_t* CachedFont::Coverage(const Glyph& glyph) const noexcept {
  if (glyph.maskOffset <= 0) return nullptr;
  return static_cast<const uint8_t*>(coverage_.Data()) + (glyph.maskOffset - 1);
}

int CachedFont::DrawFromCache(IRasterBitmap* bitmap, const char* text, int length,
                              RasterRect* rect, uint32_t textFlags) noexcept {
  const bool measureOnly = textFlags & (kTextMeasure | kTextRawMeasure);
  double alpha = alpha_;
  if (textFlags & kTextUseColourAlpha) alpha *= (textColour_ >> 24) / 255.0;
  if (!measureOnly && (alpha == 0.0 || !bitmap->PixelBuffer())) return 0;

  // Rotated text is laid out as a block, so its extent is needed up front.
  const Rotation rotation = TextRotation();
  TextExtent extent = {0, 0};
  if (measureOnly || rotation != Rotation::kNone || (textFlags & kTextAlignmentMask)) {
    extent = MeasureFromCache(text, length, textFlags);
  }
  // The height covered by the lines, which are columns for rotated text.
  const int across = rotation == Rotation::kNone ? extent.height : extent.width;
  if (measureOnly) {
    rect->right = ClampToInt(int64_t{rect->left} + extent.width);
    rect->bottom = ClampToInt(int64_t{rect->top} + extent.height);
    return across;
  }

  // 64-bit, so that rectangles near the int limits cannot wrap.
  int64_t x = rect->left;
  int64_t y = rect->top;
  if (textFlags & kTextCentre) {
    x = rect->left + (int64_t{rect->right} - rect->left - extent.width) / 2;
  } else if (textFlags & kTextRight) {
    x = int64_t{rect->right} - extent.width;
  }
  if (textFlags & kTextVerticalCentre) {
    y = rect->top + (int64_t{rect->bottom} - rect->top - extent.height) / 2;
  } else if (textFlags & kTextBottom) {
    y = int64_t{rect->bottom} - extent.height;
  }

  RasterRect clip = {0, 0, bitmap->Width(), bitmap->Height()};
  if (!(textFlags & kTextNoClip)) {
    clip = Intersect(clip, *rect);
    if (IsEmpty(clip)) return 0;
  }

  int64_t covered = 0;
  WalkText(text, length, textFlags, [&](const Glyph& glyph, int64_t penX, int64_t penY) {
    // The horizontal layout turned with the glyphs: lines become columns,
    // the first line on the side the glyph tops face.
    switch (rotation) {
      case Rotation::kNone: BlendGlyph(bitmap, glyph, x + penX, y + penY, &clip, alpha); break;
      case Rotation::kDown:
        BlendGlyph(bitmap, glyph, x + extent.width - 1 - penY, y + penX, &clip, alpha);
        break;
      case Rotation::kUp:
        BlendGlyph(bitmap, glyph, x + penY, y + extent.height - 1 - penX, &clip, alpha);
        break;
    }
    covered = std::max(covered, penY + AcrossSize(glyph));
  });
  return ClampToInt(covered);
}

CachedFont::TextExtent CachedFont::MeasureFromCache(const char* text, int length,
                                                    uint32_t textFlags) noexcept {
  int64_t along = 0;
  int64_t across = 0;
  WalkText(text, length, textFlags, [&](const Glyph& glyph, int64_t penX, int64_t penY) {
    along = std::max({along, penX + AlongSize(glyph) - glyph.placement, penX + glyph.advance});
    across = std::max(across, penY + AcrossSize(glyph));
  });
  if (TextRotation() != Rotation::kNone) std::swap(along, across);
  return {ClampToInt(along), ClampToInt(across)};
}

CachedFont::Rotation CachedFont::TextRotation() const noexcept {
  if (!(fontFlags_ & kFontRotated)) return Rotation::kNone;
  return (fontFlags_ & kFontRotatedUpward) ? Rotation::kUp : Rotation::kDown;
}

int CachedFont::AlongSize(const Glyph& glyph) const noexcept {
  return TextRotation() == Rotation::kNone ? glyph.width : glyph.height;
}

int CachedFont::AcrossSize(const Glyph& glyph) const noexcept {
  return TextRotation() == Rotation::kNone ? glyph.height : glyph.width;
}

template <class Visit>
void CachedFont::WalkText(const char* text, int length, uint32_t textFlags,
                          Visit&& visit) noexcept {
  int64_t penX = 0;
  int64_t penY = 0;
  for (int i = 0; i < length;) {
    const Utf8Character character = DecodeUtf8(text + i, length - i);
    i += character.length;
    uint32_t c = character.codePoint;
    if (c == '\r') continue;
    if (c == '\n') {
      if (!(textFlags & kTextSingleLine)) {
        penX = 0;
        penY += lineHeight_;
        continue;
      }
      c = ' ';
    }
    // The cache holds the basic multilingual plane only.
    if (c > 0xFFFF) c = ' ';
    const Glyph* glyph = CachedGlyph(c);
    if (!glyph) continue;
    visit(*glyph, penX, penY);
    penX += glyph->advance;
  }
}

const CachedFont::Glyph* CachedFont::CachedGlyph(uint32_t codePoint) noexcept {
  Glyph* glyph = FindOrInsert(codePoint);
  if (glyph && glyph->maskOffset == 0) Render(glyph);
  return glyph && glyph->maskOffset != 0 ? glyph : nullptr;
}

CachedFont::Glyph* CachedFont::FindOrInsert(uint32_t codePoint) noexcept {
  if (codePoint < kDirectGlyphs) return &direct_[codePoint];
  const int count = others_.Count();
  Glyph* begin = others_.Data();
  Glyph* it = std::lower_bound(begin, begin + count, codePoint,
                               [](const Glyph& g, uint32_t c) { return g.codePoint < c; });
  if (it != begin + count && it->codePoint == codePoint) return it;
  // A font that rendered its direct glyphs up front takes no others.
  if (fontFlags_ & kFontPreloadAscii) return nullptr;
  const int position = static_cast<int>(it - begin);
  if (!others_.Add(Glyph{})) return nullptr;
  Glyph* glyphs = others_.Data();
  std::memmove(glyphs + position + 1, glyphs + position,
               static_cast<size_t>(count - position) * sizeof(Glyph));
  glyphs[position] = Glyph{0, 0, 0, 0, codePoint, 0};
  return glyphs + position;
}

void CachedFont::Render(Glyph* glyph) noexcept {
  if (!font_ || lineHeight_ > kMaxCachedLineHeight) return;
  const uint32_t c = glyph->codePoint;
  const int margin = GlyphMargin(lineHeight_);

  SharedTextSurfaces::Lease lease;
  SysBitmap* surface = lease.GlyphSurface(2 * std::max(1, lineHeight_) + 8);
  if (!surface) return;
  int advance = 0;
  int height = 0;
  if (!MeasureSystemGlyph(font_, surface->DeviceContext(), c, &advance, &height)) {
    *glyph = Glyph{-1, 0, 0, 0, c, 0};
    return;
  }
  advance = std::max(advance, 0);
  const int boxWidth = std::min(advance + 2 * margin, surface->Width());
  const int boxHeight = std::min(height, surface->Height());
  if (boxHeight <= 0) {
    *glyph = Glyph{-1, 0, 0, advance, c, 0};
    return;
  }
  FillRegion(surface, 0, 0, boxWidth, boxHeight, kOpaqueBlack, 1.0f, BlitCopy);
  DrawSystemGlyph(font_,
                  {surface->DeviceContext(), surface->PixelBuffer(), surface->Width(),
                   surface->Height(), surface->RowPitch()},
                  c, margin);

  // The whole box goes to the end of the store first and is trimmed in place.
  const int offset = coverage_.Size();
  const int boxBytes = boxWidth * boxHeight;
  coverage_.Resize(offset + boxBytes, false);
  if (coverage_.Size() != offset + boxBytes) return;  // out of memory: try again next time
  uint8_t* mask = static_cast<uint8_t*>(coverage_.Data()) + offset;
  const bool invert = fontFlags_ & kFontInvertCoverage;
  for (int y = 0; y < boxHeight; ++y) {
    const uint32_t* row = RowStart(*surface, y);
    for (int x = 0; x < boxWidth; ++x) {
      const uint8_t red = static_cast<uint8_t>(row[x] >> 16);
      mask[y * boxWidth + x] = invert ? 255 - red : red;
    }
  }
  if (fontFlags_ & kFontSmoothGlyphs) SmoothRows(mask, boxWidth, boxHeight);

  int left = 0;
  while (left < margin && left < boxWidth && ColumnIsEmpty(mask, boxWidth, boxHeight, left)) ++left;
  int right = boxWidth;
  while (right > left && ColumnIsEmpty(mask, boxWidth, boxHeight, right - 1)) --right;
  const int width = right - left;
  for (int y = 0; y < boxHeight; ++y) {
    std::memmove(mask + y * width, mask + y * boxWidth + left, static_cast<size_t>(width));
  }
  const int bytes = width * boxHeight;
  const Rotation rotation = TextRotation();
  if (rotation != Rotation::kNone) {
    coverage_.Resize(offset + 2 * bytes, false);
    if (coverage_.Size() != offset + 2 * bytes) return;
    mask = static_cast<uint8_t*>(coverage_.Data()) + offset;
    TurnMask(mask, width, boxHeight, rotation == Rotation::kDown, mask + bytes);
    std::memcpy(mask, mask + bytes, static_cast<size_t>(bytes));
  }
  coverage_.Resize(offset + bytes, false);
  if (rotation == Rotation::kNone) {
    *glyph = Glyph{offset + 1, width, boxHeight, advance, c, margin - left};
  } else {
    *glyph = Glyph{offset + 1, boxHeight, width, advance, c, margin - left};
  }
}

void CachedFont::ClearCache() noexcept {
  for (uint32_t c = 0; c < kDirectGlyphs; ++c) direct_[c] = Glyph{0, 0, 0, 0, c, 0};
  others_.Clear();
  coverage_.Resize(0);
}

void CachedFont::BlendGlyph(IRasterBitmap* bitmap, const Glyph& glyph, int64_t x, int64_t y,
                            const RasterRect* clip, double alpha) noexcept {
  if (!bitmap || !bitmap->PixelBuffer() || glyph.maskOffset <= 0) return;
  // The mask starts `placement` before the pen along the text; a turned
  // glyph's line top lies on the pen's side.
  int64_t maskLeft = x - glyph.placement;
  int64_t maskTop = y;
  switch (TextRotation()) {
    case Rotation::kNone: break;
    case Rotation::kDown:
      maskLeft = x - glyph.width + 1;
      maskTop = y - glyph.placement;
      break;
    case Rotation::kUp:
      maskLeft = x;
      maskTop = y - glyph.height + 1 + glyph.placement;
      break;
  }
  int64_t left = std::max<int64_t>(maskLeft, 0);
  int64_t top = std::max<int64_t>(maskTop, 0);
  int64_t right = std::min<int64_t>(maskLeft + glyph.width, bitmap->Width());
  int64_t bottom = std::min<int64_t>(maskTop + glyph.height, bitmap->Height());
  if (clip) {
    left = std::max<int64_t>(left, clip->left);
    top = std::max<int64_t>(top, clip->top);
    right = std::min<int64_t>(right, clip->right);
    bottom = std::min<int64_t>(bottom, clip->bottom);
  }
  if (right <= left || bottom <= top) return;
  const int boxLeft = static_cast<int>(left), boxTop = static_cast<int>(top);
  const int boxWidth = static_cast<int>(right - left), boxHeight = static_cast<int>(bottom - top);

  if (backgroundMode_ == kBackgroundOpaque) {
    FillRegion(bitmap, boxLeft, boxTop, boxWidth, boxHeight, backgroundColour_,
               static_cast<float>(alpha), blendMode_ & ~BlitUseSourceAlpha);
  }
  const int w = pixel::WeightFromAlpha(alpha);
  if (w == 0) return;

  const uint8_t* maskRow =
      Coverage(glyph) + (top - maskTop) * glyph.width + (left - maskLeft);
  uint32_t* row = RowStart(*bitmap, boxTop) + boxLeft;
  const ptrdiff_t step = RowStep(*bitmap);
  // Calls fn(destination pixel, coverage) for every covered pixel of the box.
  auto forEachCovered = [&](auto fn) {
    const uint8_t* m = maskRow;
    uint32_t* d = row;
    for (int r = 0; r < boxHeight; ++r, m += glyph.width, d += step) {
      for (int i = 0; i < boxWidth; ++i) {
        if (m[i]) fn(d[i], m[i]);
      }
    }
  };

  const int op = blendMode_ & 0xFF;
  const bool opaqueCopy = op == BlitCopy && w == 256;
  const pixel::Channels text = pixel::Unpack(textColour_);
  if (fontFlags_ & kFontNoAntialias) {
    if (opaqueCopy) {
      forEachCovered([&](uint32_t& d, int) { d = textColour_; });
    } else {
      pixel::WithOperator(op, [&](auto blend) {
        forEachCovered([&](uint32_t& d, int) { d = blend(d, text, w); });
      });
    }
  } else if (fontFlags_ & (kFontEffect | kFontEffectAlternate)) {
    const pixel::Channels effect = pixel::Unpack(effectColour_);
    if (opaqueCopy) {
      forEachCovered([&](uint32_t& d, int k) { d = k == 255 ? textColour_ : effectColour_; });
    } else {
      pixel::WithOperator(op, [&](auto blend) {
        forEachCovered([&](uint32_t& d, int k) { d = blend(d, k == 255 ? text : effect, w); });
      });
    }
  } else if (op == BlitCopy) {
    forEachCovered([&](uint32_t& d, int k) { d = AntialiasedCopy(d, text, k, w); });
  } else {
    pixel::WithOperator(op, [&](auto blend) {
      forEachCovered([&](uint32_t& d, int k) { d = blend(d, text, w * k / 256); });
    });
  }
}

}  // namespace torvane
