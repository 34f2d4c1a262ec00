#pragma once

namespace torvane {

// The system's pointer shapes the editor asks for while the pointer is over
// its resize handles.
enum class SystemCursor {
  Arrow,
  SizeDiagonal,    // top-left to bottom-right: the corner handle
  SizeHorizontal,  // the right edge
  SizeVertical,    // the bottom edge
};

// Shows the shape for the pointer now. Windows: the system cursor of that
// shape, as a window shows it over its client area. Elsewhere the window layer
// sets shapes on its own window, so this does nothing. Window thread.
void ShowSystemCursor(SystemCursor cursor) noexcept;

}  // namespace torvane
