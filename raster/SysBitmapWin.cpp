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

uint32_t* SysBitmap::AllocatePixels(int pitch, int rows) noexcept {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = pitch;
  // A negative height makes the rows run top to bottom, like every raster here.
  info.bmiHeader.biHeight = -rows;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP section = CreateDIBSection(static_cast<HDC>(context_), &info, DIB_RGB_COLORS, &bits,
                                     nullptr, 0);
  if (!section || !bits) {
    if (section) DeleteObject(section);
    return nullptr;
  }
  surface_ = section;
  if (context_) previousSurface_ = SelectObject(static_cast<HDC>(context_), section);
  return static_cast<uint32_t*>(bits);
}

void SysBitmap::FreePixels(uint32_t* /*pixels*/) noexcept {
  if (surface_) {
    // A bitmap still selected into a context cannot be deleted.
    if (context_ && previousSurface_) {
      SelectObject(static_cast<HDC>(context_), static_cast<HGDIOBJ>(previousSurface_));
    }
    DeleteObject(static_cast<HBITMAP>(surface_));
  }
  surface_ = nullptr;
  previousSurface_ = nullptr;
}

}  // namespace torvane
