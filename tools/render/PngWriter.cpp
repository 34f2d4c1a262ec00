#include "tools/render/PngWriter.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>

namespace torvane {

namespace {

// Everything one encode uses, plain data owned by EncodePng so that it stays
// valid across libpng's long jump back to WriteImage.
struct PngEncode {
  png_structp png = nullptr;
  png_infop info = nullptr;
  const IRasterBitmap* bitmap = nullptr;
  std::vector<uint8_t>* out = nullptr;
  std::vector<uint8_t>* row = nullptr;
  char why[128] = {};  // libpng's message, copied: it may live in a frame the jump leaves
};

[[noreturn]] void OnPngError(png_structp png, png_const_charp message) {
  char* why = static_cast<PngEncode*>(png_get_error_ptr(png))->why;
  std::snprintf(why, sizeof(PngEncode::why), "%s", message ? message : "");
  png_longjmp(png, 1);
}
void OnPngWarning(png_structp, png_const_charp) {}

void WriteToMemory(png_structp png, png_bytep data, png_size_t size) {
  auto* encode = static_cast<PngEncode*>(png_get_io_ptr(png));
  // No exception may cross libpng's C frames: a failure becomes its error.
  try {
    encode->out->insert(encode->out->end(), data, data + size);
  } catch (...) {
    png_error(png, "out of memory");
  }
}
void FlushMemory(png_structp) {}

// Runs libpng for one encode. This frame calls setjmp: it holds no object with
// a destructor, and everything it needs after a long jump lives in *e.
bool WriteImage(PngEncode* e) {
  if (setjmp(png_jmpbuf(e->png))) return false;
  const IRasterBitmap& bitmap = *e->bitmap;
  png_set_write_fn(e->png, e, WriteToMemory, FlushMemory);
  png_set_IHDR(e->png, e->info, static_cast<png_uint_32>(bitmap.Width()), static_cast<png_uint_32>(bitmap.Height()),
               8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(e->png, e->info);
  uint8_t* row = e->row->data();
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

bool EncodePng(const IRasterBitmap& bitmap, std::vector<uint8_t>& png, std::string& error) {
  if (bitmap.Width() <= 0 || bitmap.Height() <= 0 || !bitmap.PixelBuffer()) {
    error = "there is no picture to encode";
    return false;
  }
  std::vector<uint8_t> row(static_cast<size_t>(bitmap.Width()) * 3);
  png.clear();
  PngEncode e;
  e.bitmap = &bitmap;
  e.out = &png;
  e.row = &row;
  e.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &e, OnPngError, OnPngWarning);
  if (e.png) e.info = png_create_info_struct(e.png);
  const bool ok = e.info && WriteImage(&e);
  png_destroy_write_struct(&e.png, &e.info);
  if (!ok) error = std::string("cannot encode the PNG: ") + (e.why[0] ? e.why : "out of memory");
  return ok;
}

}  // namespace torvane
