#pragma once

#include <cstring>

#include "core/FixedText.h"
#include "editor/DrawRecords.h"

namespace torvane {

class CachedFont;

constexpr int kFontNameBytes = 32;

// Text style values.
constexpr int TextStyleNormal = 0;
constexpr int TextStyleBold = 1;
constexpr int TextStyleItalic = 2;
constexpr int TextAlignLeft = 0;
constexpr int TextAlignCentre = 1;
constexpr int TextAlignRight = 2;
constexpr int TextQualityDefault = 0;
constexpr int TextQualityNonAntialiased = 1;
constexpr int TextQualityAntialiased = 2;
constexpr int TextQualityClearType = 3;

// How a control draws text, and the colours of its typed-entry box. The font
// pointer is filled on first drawing with a font of the process-wide font
// cache (which owns it) and cleared when the size changes. Held by controls;
// used on the editor window's thread.
struct ITextStyle {
  char fontName[kFontNameBytes] = "Verdana";
  int size = 12;
  IArgb colour = {255, 0, 0, 0};
  IArgb entryBackground = {255, 255, 255, 255};
  IArgb entryText = {255, 0, 0, 0};
  int style = TextStyleNormal;
  int alignment = TextAlignCentre;
  int orientation = 0;  // degrees
  int quality = TextQualityDefault;
  CachedFont* cachedFont = nullptr;

  void SetFontName(const char* name) noexcept { CopyFixedText(fontName, name ? name : ""); }
  bool HasFontName(const char* name) const noexcept { return std::strcmp(fontName, name) == 0; }

  // This style at another scale: the size scaled (truncated) and no font yet,
  // so that the next drawing picks or creates a font of the new size.
  ITextStyle Scaled(double factor) const noexcept {
    ITextStyle scaled = *this;
    scaled.size = static_cast<int>(size * factor);
    scaled.cachedFont = nullptr;
    return scaled;
  }
};

}  // namespace torvane
