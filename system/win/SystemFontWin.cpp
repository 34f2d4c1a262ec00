// GDI fonts: created with CreateFontA; glyphs for the cache are measured and
// drawn one at a time with DrawTextW, as the native text drawing would.
#include "system/win/WindowsApi.h"

#include "system/SystemFont.h"
#include "system/win/ScopedGdiSelection.h"

namespace torvane {

namespace {

constexpr UINT kGlyphFormat = DT_SINGLELINE | DT_NOPREFIX;

DWORD GdiQuality(int quality) {
  switch (quality) {
    case 1: return NONANTIALIASED_QUALITY;
    case 2: return ANTIALIASED_QUALITY;
    case 3: return CLEARTYPE_QUALITY;
    default: return DEFAULT_QUALITY;
  }
}

// One code point as UTF-16; the number of units, 0 for values outside Unicode.
int ToUtf16(uint32_t codePoint, wchar_t units[2]) {
  if (codePoint < 0x10000) {
    units[0] = static_cast<wchar_t>(codePoint);
    return 1;
  }
  if (codePoint > 0x10FFFF) return 0;
  const uint32_t v = codePoint - 0x10000;
  units[0] = static_cast<wchar_t>(0xD800 + (v >> 10));
  units[1] = static_cast<wchar_t>(0xDC00 + (v & 0x3FF));
  return 2;
}

// The caller's device context, or a memory context made for the scope when
// the caller has none.
class ContextFor {
 public:
  explicit ContextFor(void* given) noexcept
      : own_(given ? nullptr : CreateCompatibleDC(nullptr)),
        context_(given ? static_cast<HDC>(given) : own_) {}
  ~ContextFor() {
    if (own_) DeleteDC(own_);
  }
  ContextFor(const ContextFor&) = delete;
  ContextFor& operator=(const ContextFor&) = delete;
  HDC Get() const { return context_; }

 private:
  HDC own_;
  HDC context_;
};

}  // namespace

SystemFont CreateSystemFont(const SystemFontRequest& request) noexcept {
  if (!request.face) return nullptr;
  return CreateFontA(request.height, 0, request.escapement, request.escapement, request.weight,
                     request.italic ? TRUE : FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, GdiQuality(request.quality),
                     DEFAULT_PITCH | FF_DONTCARE, request.face);
}

void DeleteSystemFont(SystemFont font) noexcept {
  if (font) DeleteObject(static_cast<HFONT>(font));
}

int SystemFontLineHeight(SystemFont font, void* deviceContext) noexcept {
  if (!font) return 0;
  ContextFor context(deviceContext);
  if (!context.Get()) return 0;
  ScopedGdiSelection selection(context.Get(), static_cast<HFONT>(font));
  TEXTMETRICA metrics = {};
  if (!GetTextMetricsA(context.Get(), &metrics)) return 0;
  return metrics.tmHeight;
}

bool MeasureSystemGlyph(SystemFont font, void* deviceContext, uint32_t codePoint, int* width,
                        int* height) noexcept {
  wchar_t units[2];
  const int count = ToUtf16(codePoint, units);
  if (!font || !count) return false;
  ContextFor context(deviceContext);
  if (!context.Get()) return false;
  ScopedGdiSelection selection(context.Get(), static_cast<HFONT>(font));
  RECT box = {0, 0, 0, 0};
  if (!DrawTextW(context.Get(), units, count, &box, kGlyphFormat | DT_CALCRECT)) return false;
  *width = box.right - box.left;
  *height = box.bottom - box.top;
  return true;
}

void DrawSystemGlyph(SystemFont font, const GlyphCanvas& canvas, uint32_t codePoint,
                     int x) noexcept {
  wchar_t units[2];
  const int count = ToUtf16(codePoint, units);
  HDC context = static_cast<HDC>(canvas.deviceContext);
  if (!font || !count || !context) return;
  ScopedGdiSelection selection(context, static_cast<HFONT>(font));
  SetTextColor(context, RGB(255, 255, 255));
  SetBkMode(context, TRANSPARENT);
  RECT box = {x, 0, canvas.width, canvas.height};
  DrawTextW(context, units, count, &box, kGlyphFormat | DT_NOCLIP);
  // The cache reads the pixels right after; GDI may still hold the drawing.
  GdiFlush();
}

}  // namespace torvane
