#pragma once

#include <memory>
#include <mutex>

#include "core/OwnedList.h"
#include "editor/ITextStyle.h"
#include "raster/CachedFont.h"

namespace torvane {

// The fonts every editor of the process draws text with, one per size,
// orientation, style and face name (the quality is not told apart), kept
// until the module is unloaded. Text styles point into it. Fonts are created
// on the calling (window) thread; the lock covers only the list.
class FontStore {
 public:
  static FontStore& Instance() noexcept;

  // The cached font for the style, created when there is none yet; null when
  // the platform cannot make the font.
  CachedFont* FontFor(const ITextStyle& style) noexcept;

 private:
  // Longer than a style's font name, so that every name is kept whole.
  static constexpr int kKeyNameBytes = 36;

  struct Entry {
    int size;
    int orientation;
    int style;
    char fontName[kKeyNameBytes];
    std::unique_ptr<CachedFont> font;
  };

  FontStore() noexcept = default;
  CachedFont* FindLocked(const ITextStyle& style) const noexcept;

  mutable std::mutex mutex_;
  OwnedList<Entry> entries_;
};

}  // namespace torvane
