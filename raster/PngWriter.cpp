#include "raster/PngWriter.h"

#include <png.h>

#include <csetjmp>
#include <cstdint>
#include <cstring>

namespace torvane {

namespace {

// Everything one encode uses. Plain data that lives in EncodePng, so that it
// stays valid and is released there after libpng's long jump.
struct PngEncode {
  png_structp png;
  png_infop info;
  const IRasterBitmap* bitmap;
  GrowableBuffer* out;
  GrowableBuffer* row;
};

// libpng errors jump back to the setjmp in WriteImage; nothing is printed.
[[noreturn]] void OnPngError(png_structp png, png_const_charp /*message*/) { png_longjmp(png, 1); }
void OnPngWarning(png_structp /*png*/, png_const_charp /*message*/) {}

void WriteToMemory(png_structp png, png_bytep data, png_size_t count) {
  GrowableBuffer* out = static_cast<PngEncode*>(png_get_io_ptr(png))->out;
  const int size = out->Size();
  if (count > static_cast<png_size_t>(0x7fffffff - size)) png_error(png, "too large");
  char* bytes = static_cast<char*>(out->Resize(size + static_cast<int>(count), false));
  if (out->Size() != size + static_cast<int>(count)) png_error(png, "out of memory");
  std::memcpy(bytes + size, data, count);
}
void FlushMemory(png_structp /*png*/) {}

// Runs libpng for one encode; false when libpng reported an error. This frame
// calls setjmp: it holds no object with a destructor, and everything it needs
// after a long jump lives in *e.
bool WriteImage(PngEncode* e) {
  if (setjmp(png_jmpbuf(e->png))) return false;
  const IRasterBitmap& bitmap = *e->bitmap;
  png_set_write_fn(e->png, e, WriteToMemory, FlushMemory);
  png_set_IHDR(e->png, e->info, static_cast<png_uint_32>(bitmap.Width()), static_cast<png_uint_32>(bitmap.Height()),
               8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(e->png, e->info);
  auto* row = static_cast<uint8_t*>(e->row->Data());
  for (int y = 0; y < bitmap.Height(); ++y) {
    const uint32_t* pixels = RowStart(bitmap, y);
    for (int x = 0; x < bitmap.Width(); ++x) {
      row[3 * x] = static_cast<uint8_t>(pixels[x] >> 16);
      row[3 * x + 1] = static_cast<uint8_t>(pixels[x] >> 8);
      row[3 * x + 2] = static_cast<uint8_t>(pixels[x]);
    }
    png_write_row(e->png, row);
  }
  png_write_end(e->png, e->info);
  return true;
}

}  // namespace

bool EncodePng(const IRasterBitmap& bitmap, GrowableBuffer& png) noexcept {
  png.Resize(0);
  const int width = bitmap.Width();
  if (width <= 0 || bitmap.Height() <= 0 || !bitmap.PixelBuffer() || width > 0x7fffffff / 3) return false;
  GrowableBuffer row;
  row.Resize(3 * width);
  if (row.Size() != 3 * width) return false;
  PngEncode e = {nullptr, nullptr, &bitmap, &png, &row};
  e.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, OnPngError, OnPngWarning);
  if (e.png) e.info = png_create_info_struct(e.png);
  const bool ok = e.info && WriteImage(&e);
  png_destroy_write_struct(&e.png, &e.info);
  return ok;
}

}  // namespace torvane
