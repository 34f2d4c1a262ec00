#include "raster/PngLoader.h"

#include <png.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <new>

#include "system/OpenFile.h"

namespace torvane {

namespace {

constexpr size_t kSignatureBytes = 8;

// Memory input for libpng. A request beyond the end is an error, as a short
// read from a file is: a damaged chunk length can declare gigabytes, which
// libpng would otherwise go on reading.
struct MemoryInput {
  const unsigned char* next;
  size_t remaining;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t count) {
  auto* input = static_cast<MemoryInput*>(png_get_io_ptr(png));
  if (count > input->remaining) png_error(png, "data ends early");
  std::memcpy(out, input->next, count);
  input->next += count;
  input->remaining -= count;
}

// libpng errors jump back to the setjmp in ReadImage; nothing is printed.
[[noreturn]] void OnPngError(png_structp png, png_const_charp /*message*/) { png_longjmp(png, 1); }
void OnPngWarning(png_structp /*png*/, png_const_charp /*message*/) {}

png_structp CreateReader() {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnPngError, OnPngWarning);
  // Only the image chunks and transparency are used; every other chunk is
  // skipped unread. libpng would otherwise reserve a buffer of whatever size
  // a text or profile chunk declares (up to 2 GB) before reading it.
  if (png) png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
  return png;
}

// Everything one decode creates. Plain data that lives in the caller of the
// function that calls setjmp, so that it stays valid and is released there
// after a long jump.
struct PngDecode {
  png_structp png;
  png_infop info;
  IRasterBitmap* target;
  png_bytepp rows;
};

// Sets the conversions that turn any PNG into rows of alpha, red, green, blue bytes.
void SetTransformations(png_structp png, png_infop info, int colourType, int bitDepth) {
  bool hasAlpha = (colourType & PNG_COLOR_MASK_ALPHA) != 0;
  if (colourType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (colourType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) png_set_expand_gray_1_2_4_to_8(png);
  if (png_get_valid(png, info, PNG_INFO_tRNS)) {
    png_set_tRNS_to_alpha(png);
    hasAlpha = true;
  }
  if (bitDepth == 16) png_set_strip_16(png);
  if (bitDepth < 8) png_set_packing(png);
  if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA) {
    png_set_gray_to_rgb(png);
  }
  if (hasAlpha) {
    png_set_swap_alpha(png);
  } else {
    png_set_filler(png, 0xFF, PNG_FILLER_BEFORE);
  }
}

// Runs libpng for one decode; false when libpng reported an error or the
// target could not take the image. This frame calls setjmp: it holds no object
// with a destructor, and everything it changes after setjmp that is still
// needed after a long jump lives in *d.
bool ReadImage(PngDecode* d) {
  if (setjmp(png_jmpbuf(d->png))) return false;

  png_read_info(d->png, d->info);
  png_uint_32 width = 0, height = 0;
  int bitDepth = 0, colourType = 0, interlace = 0, compression = 0, filter = 0;
  png_get_IHDR(d->png, d->info, &width, &height, &bitDepth, &colourType, &interlace, &compression,
               &filter);
  SetTransformations(d->png, d->info, colourType, bitDepth);

  if (static_cast<long long>(width) * height > kPngMaxPixels) return false;
  // Within the pixel limit both sides fit an int.
  const int w = static_cast<int>(width), h = static_cast<int>(height);
  d->target->SetSize(w, h);
  if (d->target->Width() != w || d->target->Height() != h || !d->target->PixelBuffer()) return false;
  d->rows = static_cast<png_bytepp>(std::malloc(sizeof(png_bytep) * height));
  if (!d->rows) return false;
  for (int y = 0; y < h; ++y) d->rows[y] = reinterpret_cast<png_bytep>(RowStart(*d->target, y));
  png_read_image(d->png, d->rows);
  return true;
}

// Alpha, red, green, blue bytes become the word 0xAARRGGBB (bytes blue, green,
// red, alpha in memory).
void ReverseBytes(IRasterBitmap& bitmap) {
  for (int y = 0; y < bitmap.Height(); ++y) {
    uint32_t* row = RowStart(bitmap, y);
    for (int x = 0; x < bitmap.Width(); ++x) {
      const uint32_t p = row[x];
      row[x] = p >> 24 | (p >> 8 & 0xFF00) | (p << 8 & 0xFF0000) | p << 24;
    }
  }
}

// Decodes from a read structure whose input is set up into target, and
// destroys the structure.
bool Decode(png_structp png, IRasterBitmap& target) {
  PngDecode d = {png, png_create_info_struct(png), &target, nullptr};
  const bool ok = d.info && ReadImage(&d);
  png_destroy_read_struct(&d.png, &d.info, nullptr);
  std::free(d.rows);
  if (ok) ReverseBytes(target);
  return ok;
}

// Runs decodeInto on a new bitmap, which is handed out only when it succeeded.
template <typename DecodeInto>
std::unique_ptr<MemBitmap> DecodeIntoNewBitmap(DecodeInto decodeInto) {
  std::unique_ptr<MemBitmap> bitmap(new (std::nothrow) MemBitmap);
  if (!bitmap || !decodeInto(*bitmap)) return nullptr;
  return bitmap;
}

bool HasPngExtension(const char* name) {
  const char* extension = nullptr;
  for (const char* p = name + std::strlen(name); p > name;) {
    --p;
    if (*p == '\\') break;
    if (*p == '.' || *p == '/') {
      extension = p;
      break;
    }
  }
  if (!extension || std::strlen(extension) != 4) return false;
  for (int i = 0; i < 4; ++i) {
    if (std::tolower(static_cast<unsigned char>(extension[i])) != ".png"[i]) return false;
  }
  return true;
}

}  // namespace

bool ReadPngSize(const void* bytes, size_t length, int& width, int& height) noexcept {
  // The signature, then the header chunk: length, "IHDR", width, height.
  constexpr size_t kHeaderEnd = kSignatureBytes + 16;
  if (!bytes || length < kHeaderEnd) return false;
  const auto* data = static_cast<const unsigned char*>(bytes);
  if (png_sig_cmp(data, 0, kSignatureBytes) != 0 || std::memcmp(data + kSignatureBytes + 4, "IHDR", 4) != 0) {
    return false;
  }
  const png_uint_32 w = png_get_uint_32(data + kSignatureBytes + 8);
  const png_uint_32 h = png_get_uint_32(data + kSignatureBytes + 12);
  if (w == 0 || h == 0 || static_cast<long long>(w) * h > kPngMaxPixels) return false;
  // Within the pixel limit both sides fit an int.
  width = static_cast<int>(w);
  height = static_cast<int>(h);
  return true;
}

bool DecodePngMemoryInto(const void* bytes, size_t length, IRasterBitmap& target) noexcept {
  if (!bytes || length < kSignatureBytes) return false;
  if (png_sig_cmp(static_cast<png_const_bytep>(bytes), 0, kSignatureBytes) != 0) return false;
  png_structp png = CreateReader();
  if (!png) return false;
  MemoryInput input = {static_cast<const unsigned char*>(bytes), length};
  png_set_read_fn(png, &input, ReadFromMemory);
  return Decode(png, target);
}

std::unique_ptr<MemBitmap> DecodePngMemory(const void* bytes, size_t length) noexcept {
  return DecodeIntoNewBitmap([&](MemBitmap& bitmap) { return DecodePngMemoryInto(bytes, length, bitmap); });
}

bool LoadPngFileInto(const char* utf8Name, bool checkExtension, IRasterBitmap& target) noexcept {
  if (!utf8Name || (checkExtension && !HasPngExtension(utf8Name))) return false;
  std::FILE* file = OpenFileForReading(utf8Name);
  if (!file) return false;
  bool ok = false;
  if (png_structp png = CreateReader()) {
    png_init_io(png, file);
    ok = Decode(png, target);
  }
  std::fclose(file);
  return ok;
}

std::unique_ptr<MemBitmap> LoadPngFile(const char* utf8Name, bool checkExtension) noexcept {
  return DecodeIntoNewBitmap([&](MemBitmap& bitmap) { return LoadPngFileInto(utf8Name, checkExtension, bitmap); });
}

}  // namespace torvane
