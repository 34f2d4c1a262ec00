#pragma once

#include "system/win/WindowsApi.h"

namespace torvane {

// DrawText for UTF-8: text with bytes above 127 is converted to UTF-16 and
// drawn with DrawTextW (malformed sequences become U+FFFD), plain ASCII goes
// to DrawTextA. Returns DrawText's result: the text height, 0 on failure.
int DrawUtf8Text(HDC context, const char* text, int length, RECT* rect, UINT format) noexcept;

}  // namespace torvane
