#include "system/win/Utf8TextDrawing.h"

#include <cstdlib>

namespace torvane {

namespace {

// Texts up to this many UTF-16 units are converted on the stack.
constexpr int kStackUnits = 1024;

bool IsAscii(const char* text, int length) {
  for (int i = 0; i < length; ++i) {
    if (static_cast<unsigned char>(text[i]) >= 0x80) return false;
  }
  return true;
}

}  // namespace

int DrawUtf8Text(HDC context, const char* text, int length, RECT* rect, UINT format) noexcept {
  if (length <= 0) return DrawTextA(context, "", 0, rect, format);
  if (IsAscii(text, length)) return DrawTextA(context, text, length, rect, format);

  // Strict conversion first; malformed text is converted again with the
  // system's substitution of U+FFFD rather than drawn in the ANSI code page.
  DWORD flags = MB_ERR_INVALID_CHARS;
  int units = MultiByteToWideChar(CP_UTF8, flags, text, length, nullptr, 0);
  if (units <= 0) {
    flags = 0;
    units = MultiByteToWideChar(CP_UTF8, flags, text, length, nullptr, 0);
    if (units <= 0) return 0;
  }
  wchar_t onStack[kStackUnits];
  wchar_t* wide = onStack;
  if (units > kStackUnits) {
    wide = static_cast<wchar_t*>(std::malloc(static_cast<size_t>(units) * sizeof(wchar_t)));
    if (!wide) return 0;
  }
  int result = 0;
  if (MultiByteToWideChar(CP_UTF8, flags, text, length, wide, units) == units) {
    result = DrawTextW(context, wide, units, rect, format);
  }
  if (wide != onStack) std::free(wide);
  return result;
}

}  // namespace torvane
