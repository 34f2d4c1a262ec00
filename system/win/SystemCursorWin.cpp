#include "system/SystemCursor.h"
#include "system/win/WindowsApi.h"

namespace torvane {

void ShowSystemCursor(SystemCursor cursor) noexcept {
  LPCSTR shape = IDC_ARROW;
  switch (cursor) {
    case SystemCursor::Arrow: shape = IDC_ARROW; break;
    case SystemCursor::SizeDiagonal: shape = IDC_SIZENWSE; break;
    case SystemCursor::SizeHorizontal: shape = IDC_SIZEWE; break;
    case SystemCursor::SizeVertical: shape = IDC_SIZENS; break;
  }
  // System cursors are shared and never destroyed.
  if (HCURSOR handle = LoadCursorA(nullptr, shape)) SetCursor(handle);
}

}  // namespace torvane
