// The Windows surface: a DIB section selected into a memory device context, so
// that GDI can draw text into the pixels and BitBlt can present them.
#include "system/win/WindowsApi.h"

#include "raster/SysBitmap.h"

namespace torvane {

void SysBitmap::OpenContext() noexcept { context_ = CreateCompatibleDC(nullptr); }

void SysBitmap::CloseContext() noexcept {
  if (context_) DeleteDC(static_cast<HDC>(context_));
  context_ = nullptr;
}

void SysBitmap::CreateSurface() noexcept {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = allocatedWidth_;
  // A negative height makes the rows run top to bottom, like every raster here.
  info.bmiHeader.biHeight = -allocatedHeight_;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP section = CreateDIBSection(static_cast<HDC>(context_), &info, DIB_RGB_COLORS, &bits,
                                     nullptr, 0);
  if (!section || !bits) {
    if (section) DeleteObject(section);
    return;
  }
  surface_ = section;
  pixels_ = static_cast<uint32_t*>(bits);
  if (context_) previousSurface_ = SelectObject(static_cast<HDC>(context_), section);
}

void SysBitmap::DestroySurface() noexcept {
  if (surface_) {
    // A bitmap still selected into a context cannot be deleted.
    if (context_ && previousSurface_) {
      SelectObject(static_cast<HDC>(context_), static_cast<HGDIOBJ>(previousSurface_));
    }
    DeleteObject(static_cast<HBITMAP>(surface_));
  }
  surface_ = nullptr;
  previousSurface_ = nullptr;
  pixels_ = nullptr;
}

}  // namespace torvane
