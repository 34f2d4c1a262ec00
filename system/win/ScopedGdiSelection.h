#pragma once

#include "system/win/WindowsApi.h"

namespace torvane {

// Selects a GDI object (a font) into a device context for one scope and puts
// the previous one back.
class ScopedGdiSelection {
 public:
  ScopedGdiSelection(HDC context, HGDIOBJ object) noexcept
      : context_(context), previous_(SelectObject(context, object)) {}
  ~ScopedGdiSelection() {
    if (previous_) SelectObject(context_, previous_);
  }
  ScopedGdiSelection(const ScopedGdiSelection&) = delete;
  ScopedGdiSelection& operator=(const ScopedGdiSelection&) = delete;

 private:
  HDC context_;
  HGDIOBJ previous_;
};

}  // namespace torvane
