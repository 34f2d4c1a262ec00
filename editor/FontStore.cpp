#include "editor/FontStore.h"

#include <cstring>
#include <new>

#include "core/FixedText.h"
#include "system/SystemFont.h"

namespace torvane {

namespace {
constexpr int kWeightNormal = 400;
constexpr int kWeightBold = 700;
}  // namespace

FontStore& FontStore::Instance() noexcept {
  static FontStore store;
  return store;
}

CachedFont* FontStore::FindLocked(const ITextStyle& style) const noexcept {
  for (int i = 0; i < entries_.Count(); ++i) {
    const Entry* entry = entries_.Get(i);
    if (entry->size == style.size && entry->orientation == style.orientation && entry->style == style.style &&
        std::strcmp(entry->fontName, style.fontName) == 0) {
      return entry->font.get();
    }
  }
  return nullptr;
}

CachedFont* FontStore::FontFor(const ITextStyle& style) noexcept {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (CachedFont* cached = FindLocked(style)) return cached;
  }
  constexpr int kTenthsPerDegree = 10;
  SystemFontRequest request;
  request.face = style.fontName;
  request.height = style.size;
  request.escapement = style.orientation * kTenthsPerDegree;
  request.weight = style.style == TextStyleBold ? kWeightBold : kWeightNormal;
  request.italic = style.style == TextStyleItalic;
  request.quality = style.quality >= TextQualityDefault && style.quality <= TextQualityClearType
                        ? style.quality
                        : TextQualityDefault;
  SystemFont systemFont = CreateSystemFont(request);
  if (!systemFont) return nullptr;
  auto font = std::unique_ptr<CachedFont>(new (std::nothrow) CachedFont);
  if (!font) {
    DeleteSystemFont(systemFont);
    return nullptr;
  }
  font->AdoptSystemFont(systemFont, kFontOwnsSystemFont | kFontPreferNative);

  std::lock_guard<std::mutex> lock(mutex_);
  // Another editor may have made the same font meanwhile; the first one stays.
  if (CachedFont* cached = FindLocked(style)) return cached;
  auto* entry = new (std::nothrow) Entry{style.size, style.orientation, style.style, {}, std::move(font)};
  if (!entry) return nullptr;
  CopyFixedText(entry->fontName, style.fontName);
  return entries_.Add(entry) ? entry->font.get() : nullptr;
}

}  // namespace torvane
