#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif
#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "raster/MemBitmap.h"
#include "raster/PngLoader.h"
#include "raster/PngWriter.h"
#include "raster/SysBitmap.h"
#include "raster/RasterTestSupport.h"

namespace torvane {

namespace {

// A PNG image to encode with libpng's writer; rows hold the packed samples as
// the PNG stores them.
struct ImageToEncode {
  int width = 1;
  int height = 1;
  int colourType = PNG_COLOR_TYPE_RGBA;
  int bitDepth = 8;
  int interlace = PNG_INTERLACE_NONE;
  std::vector<std::vector<unsigned char>> rows;
  std::vector<png_color> palette;
  std::vector<unsigned char> paletteAlpha;
  bool greyTransparent = false;
  int transparentGrey = 0;
};

void AppendToVector(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<std::vector<unsigned char>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}

std::vector<unsigned char> Encode(ImageToEncode image) {
  std::vector<unsigned char> out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_set_write_fn(png, &out, AppendToVector, nullptr);
  png_set_IHDR(png, info, image.width, image.height, image.bitDepth, image.colourType,
               image.interlace, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (!image.palette.empty()) {
    png_set_PLTE(png, info, image.palette.data(), static_cast<int>(image.palette.size()));
  }
  if (!image.paletteAlpha.empty()) {
    png_set_tRNS(png, info, image.paletteAlpha.data(), static_cast<int>(image.paletteAlpha.size()),
                 nullptr);
  }
  if (image.greyTransparent) {
    png_color_16 grey = {};
    grey.gray = static_cast<png_uint_16>(image.transparentGrey);
    png_set_tRNS(png, info, nullptr, 0, &grey);
  }
  png_write_info(png, info);
  std::vector<png_bytep> rows;
  for (auto& row : image.rows) rows.push_back(row.data());
  png_write_image(png, rows.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

std::unique_ptr<IRasterBitmap> Decode(const std::vector<unsigned char>& bytes, size_t length) {
  return DecodePngMemory(bytes.data(), length);
}
std::unique_ptr<IRasterBitmap> Decode(const std::vector<unsigned char>& bytes) {
  return Decode(bytes, bytes.size());
}

// A 5 x 3 RGBA image whose pixels all differ; small enough to truncate at every length.
ImageToEncode SmallRgba() {
  ImageToEncode image;
  image.width = 5;
  image.height = 3;
  for (int y = 0; y < 3; ++y) {
    std::vector<unsigned char> row;
    for (int x = 0; x < 5; ++x) {
      row.insert(row.end(), {static_cast<unsigned char>(x * 40), static_cast<unsigned char>(y * 90),
                             static_cast<unsigned char>(x + y), static_cast<unsigned char>(255 - x)});
    }
    image.rows.push_back(row);
  }
  return image;
}

bool SamePixels(const IRasterBitmap& a, const IRasterBitmap& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
  for (int y = 0; y < a.Height(); ++y) {
    for (int x = 0; x < a.Width(); ++x) {
      if (PixelAt(a, x, y) != PixelAt(b, x, y)) return false;
    }
  }
  return true;
}

}  // namespace

TEST(DecodePng, RgbaBytesBecomeTheArgbWord) {
  ImageToEncode image;
  image.rows = {{0x11, 0x22, 0x33, 0x44}};
  auto bitmap = Decode(Encode(image));
  ASSERT_TRUE(bitmap);
  EXPECT_EQ(bitmap->Width(), 1);
  EXPECT_EQ(PixelAt(*bitmap, 0, 0), 0x44112233u);
}

TEST(DecodePng, ImagesWithoutAlphaAreOpaque) {
  ImageToEncode image;
  image.width = 2;
  image.colourType = PNG_COLOR_TYPE_RGB;
  image.rows = {{0x11, 0x22, 0x33, 0xFE, 0x00, 0x01}};
  auto bitmap = Decode(Encode(image));
  ASSERT_TRUE(bitmap);
  EXPECT_EQ(PixelAt(*bitmap, 0, 0), 0xFF112233u);
  EXPECT_EQ(PixelAt(*bitmap, 1, 0), 0xFFFE0001u);
}

TEST(DecodePng, PaletteTransparencyBecomesAlpha) {
  ImageToEncode image;
  image.width = 4;
  image.colourType = PNG_COLOR_TYPE_PALETTE;
  image.bitDepth = 4;
  image.palette = {{0xFF, 0x00, 0x00}, {0x00, 0xFF, 0x00}, {0x10, 0x20, 0x30}};
  image.paletteAlpha = {0x00, 0x80};  // the third entry stays opaque
  image.rows = {{0x01, 0x22}};        // indices 0, 1, 2, 2
  auto bitmap = Decode(Encode(image));
  ASSERT_TRUE(bitmap);
  EXPECT_EQ(PixelAt(*bitmap, 0, 0), 0x00FF0000u);
  EXPECT_EQ(PixelAt(*bitmap, 1, 0), 0x8000FF00u);
  EXPECT_EQ(PixelAt(*bitmap, 2, 0), 0xFF102030u);
  EXPECT_EQ(PixelAt(*bitmap, 3, 0), 0xFF102030u);
}

TEST(DecodePng, GreyImagesBecomeGreyPixels) {
  ImageToEncode sixteen;
  sixteen.width = 2;
  sixteen.colourType = PNG_COLOR_TYPE_GRAY;
  sixteen.bitDepth = 16;
  sixteen.rows = {{0x12, 0x34, 0xFF, 0xFF}};
  auto bitmap = Decode(Encode(sixteen));
  ASSERT_TRUE(bitmap);
  EXPECT_EQ(PixelAt(*bitmap, 0, 0), 0xFF121212u);
  EXPECT_EQ(PixelAt(*bitmap, 1, 0), 0xFFFFFFFFu);

  ImageToEncode oneBit;
  oneBit.width = 3;
  oneBit.colourType = PNG_COLOR_TYPE_GRAY;
  oneBit.bitDepth = 1;
  oneBit.rows = {{0xA0}};  // 1, 0, 1
  oneBit.greyTransparent = true;
  oneBit.transparentGrey = 0;
  bitmap = Decode(Encode(oneBit));
  ASSERT_TRUE(bitmap);
  EXPECT_EQ(PixelAt(*bitmap, 0, 0), 0xFFFFFFFFu);
  EXPECT_EQ(PixelAt(*bitmap, 1, 0), 0x00000000u);
  EXPECT_EQ(PixelAt(*bitmap, 2, 0), 0xFFFFFFFFu);

  ImageToEncode greyAlpha;
  greyAlpha.colourType = PNG_COLOR_TYPE_GRAY_ALPHA;
  greyAlpha.rows = {{0x40, 0x80}};
  bitmap = Decode(Encode(greyAlpha));
  ASSERT_TRUE(bitmap);
  EXPECT_EQ(PixelAt(*bitmap, 0, 0), 0x80404040u);
}

TEST(DecodePng, InterlacedImageMatchesTheSameImageStraight) {
  ImageToEncode image;
  image.width = 11;
  image.height = 9;
  for (int y = 0; y < image.height; ++y) {
    std::vector<unsigned char> row;
    for (int x = 0; x < image.width; ++x) {
      row.insert(row.end(), {static_cast<unsigned char>(x * 23), static_cast<unsigned char>(y * 28),
                             static_cast<unsigned char>(x ^ y), static_cast<unsigned char>(x * y)});
    }
    image.rows.push_back(row);
  }
  ImageToEncode interlaced = image;
  interlaced.interlace = PNG_INTERLACE_ADAM7;
  auto straight = Decode(Encode(image));
  auto woven = Decode(Encode(interlaced));
  ASSERT_TRUE(straight && woven);
  EXPECT_TRUE(SamePixels(*straight, *woven));
  EXPECT_EQ(PixelAt(*woven, 10, 8), Argb(80, 230, 224, 2));
}

TEST(DecodePng, ReusedBitmapIsResized) {
  const auto bytes = Encode(SmallRgba());
  MemBitmap reused(40, 40);
  EXPECT_TRUE(DecodePngMemoryInto(bytes.data(), bytes.size(), reused));
  EXPECT_EQ(reused.Width(), 5);
  EXPECT_EQ(reused.Height(), 3);
  SysBitmap surface(2, 2);
  EXPECT_TRUE(DecodePngMemoryInto(bytes.data(), bytes.size(), surface));
  EXPECT_TRUE(SamePixels(reused, surface));
  EXPECT_EQ(PixelAt(surface, 4, 2), Argb(251, 160, 180, 6));
}

TEST(DecodePng, ShortOrForeignDataGivesNothing) {
  const auto bytes = Encode(SmallRgba());
  EXPECT_FALSE(Decode(bytes, 7));
  EXPECT_FALSE(Decode(bytes, 8));
  std::vector<unsigned char> foreign = bytes;
  foreign[1] = 'Q';
  EXPECT_FALSE(Decode(foreign));
  EXPECT_EQ(DecodePngMemory(nullptr, 100), nullptr);
}

// Reading past the end is an error; only a cut inside the final chunk, which
// is never read, still gives the whole image.
TEST(DecodePng, TruncationAtEveryLengthGivesNothingOrTheWholeImage) {
  const auto bytes = Encode(SmallRgba());
  auto whole = Decode(bytes);
  ASSERT_TRUE(whole);
  int decoded = 0;
  for (size_t length = 0; length < bytes.size(); ++length) {
    MemBitmap reused(2, 2);
    if (DecodePngMemoryInto(bytes.data(), length, reused)) {
      ++decoded;
      EXPECT_TRUE(SamePixels(reused, *whole)) << length;
    }
    if (auto fresh = Decode(bytes, length)) {
      EXPECT_TRUE(SamePixels(*fresh, *whole)) << length;
    }
  }
  EXPECT_LE(decoded, 12);  // the 12-byte end chunk at most
}

TEST(DecodePng, RandomBytesAfterTheSignatureGiveNothing) {
  const auto bytes = Encode(SmallRgba());
  const size_t headerEnd = 8 + 25;  // signature and the image header chunk
  std::mt19937 random(20240601);
  for (int trial = 0; trial < 400; ++trial) {
    // Half the trials keep the valid image header so that decoding gets further.
    const size_t keep = trial % 2 ? headerEnd : 8;
    std::vector<unsigned char> data(bytes.begin(), bytes.begin() + keep);
    const size_t extra = random() % 300;
    for (size_t i = 0; i < extra; ++i) data.push_back(static_cast<unsigned char>(random()));
    MemBitmap reused(3, 3);
    EXPECT_FALSE(DecodePngMemoryInto(data.data(), data.size(), reused)) << trial;
    EXPECT_FALSE(Decode(data)) << trial;
  }
}

// A few bytes can declare an image of any size: one far beyond the pixel
// limit is refused from its header, before a single pixel is reserved.
TEST(DecodePng, HugeDeclaredSizeIsRefusedBeforeReservingPixels) {
  auto bytes = Encode(SmallRgba());
  // The image header's width and height, then its checksum.
  const unsigned char side[] = {0, 0, 0x59, 0xD8};  // 23000
  std::copy(side, side + 4, bytes.begin() + 16);
  std::copy(side, side + 4, bytes.begin() + 20);
  const uLong crc = crc32(crc32(0, nullptr, 0), bytes.data() + 12, 17);
  for (int i = 0; i < 4; ++i) bytes[29 + i] = static_cast<unsigned char>(crc >> (24 - 8 * i));
  MemBitmap reused(3, 3);
  EXPECT_FALSE(DecodePngMemoryInto(bytes.data(), bytes.size(), reused));
  EXPECT_EQ(reused.Width(), 3);  // never resized toward 23000 x 23000
  EXPECT_EQ(reused.AllocatedBytes(), MemBitmap(3, 3).AllocatedBytes());
  EXPECT_FALSE(DecodePngMemory(bytes.data(), bytes.size()));
  int width = 0, height = 0;
  EXPECT_FALSE(ReadPngSize(bytes.data(), bytes.size(), width, height));
}

// The editor learns its images' sizes long before it draws them: from the
// header, which the rest of the file need not follow.
TEST(DecodePng, SizeIsReadFromTheHeaderAlone) {
  const auto bytes = Encode(SmallRgba());
  int width = 0, height = 0;
  ASSERT_TRUE(ReadPngSize(bytes.data(), 24, width, height));
  EXPECT_EQ(width, 5);
  EXPECT_EQ(height, 3);
  EXPECT_FALSE(ReadPngSize(bytes.data(), 23, width, height));
  auto foreign = bytes;
  foreign[12] = 'X';  // not the header chunk
  EXPECT_FALSE(ReadPngSize(foreign.data(), foreign.size(), width, height));
  EXPECT_FALSE(ReadPngSize(nullptr, 100, width, height));
}

// A damaged chunk length can declare two gigabytes that are not there. Reading
// ends where the data ends instead of feeding libpng that many zero bytes,
// which it would read and checksum for seconds before giving up.
TEST(DecodePng, ChunkDeclaredPastTheEndOfTheDataEndsTheDecodeAtOnce) {
  auto bytes = Encode(SmallRgba());
  const size_t afterHeader = 8 + 25;
  const unsigned char chunk[] = {0x7F, 0xFF, 0xFF, 0xFF, 'r', 'u', 'S', 't', 1, 2, 3};  // an unknown ancillary chunk
  bytes.insert(bytes.begin() + afterHeader, chunk, chunk + sizeof chunk);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(DecodePngMemory(bytes.data(), bytes.size()));
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count(), 500);
}

class PngFile : public ::testing::Test {
 protected:
  // Writes bytes to a file named in UTF-8 inside the test's scratch folder and
  // returns its full name.
  static std::string Write(const std::string& name, const std::vector<unsigned char>& bytes) {
    const std::string path = ::testing::TempDir() + name;
#ifdef _WIN32
    // The test writes through the wide name itself, independently of the loader.
    std::wstring wide;
    for (size_t i = 0; i < path.size();) {
      const unsigned char c = static_cast<unsigned char>(path[i]);
      if (c < 0x80) {
        wide += static_cast<wchar_t>(c);
        i += 1;
      } else {  // two-byte sequences are all these names use
        wide += static_cast<wchar_t>((c & 0x1F) << 6 | (path[i + 1] & 0x3F));
        i += 2;
      }
    }
    std::FILE* file = _wfopen(wide.c_str(), L"wb");
#else
    std::FILE* file = std::fopen(path.c_str(), "wb");
#endif
    EXPECT_NE(file, nullptr) << path;
    if (file) {
      std::fwrite(bytes.data(), 1, bytes.size(), file);
      std::fclose(file);
    }
    return path;
  }
};

TEST_F(PngFile, LoadsANameWithNonAsciiCharacters) {
  const auto bytes = Encode(SmallRgba());
  const std::string path = Write("b\xC3\xA4ss-\xC3\xB8.png", bytes);
  std::unique_ptr<MemBitmap> loaded = LoadPngFile(path.c_str(), true);
  ASSERT_TRUE(loaded);
  EXPECT_TRUE(SamePixels(*loaded, *Decode(bytes)));
}

// Every name below is a real, valid PNG file: only the extension check can
// refuse it, and the unchecked load proves the file itself is fine.
TEST_F(PngFile, ExtensionCheckLooksAtTheLastNamePart) {
  const auto bytes = Encode(SmallRgba());
  EXPECT_TRUE(LoadPngFile(Write("UPPER.PNG", bytes).c_str(), true));
  std::vector<std::string> refused = {Write("image.txt", bytes), Write("image", bytes)};
#ifndef _WIN32
  // A backslash ends the search for the extension, as it would on Windows; so
  // does a slash, which starts the last name part.
  refused.push_back(Write("folder.png\\image", bytes));
  ::mkdir((::testing::TempDir() + "archive.png").c_str(), 0755);
  refused.push_back(Write("archive.png/image", bytes));
#endif
  for (const std::string& name : refused) {
    EXPECT_FALSE(LoadPngFile(name.c_str(), true)) << name;
    EXPECT_TRUE(LoadPngFile(name.c_str(), false)) << name;
  }
}

TEST_F(PngFile, BrokenFileGivesNothing) {
  auto bytes = Encode(SmallRgba());
  bytes.resize(bytes.size() / 2);
  const std::string path = Write("broken.png", bytes);
  MemBitmap reused(1, 1);
  EXPECT_FALSE(LoadPngFileInto(path.c_str(), true, reused));
  EXPECT_FALSE(LoadPngFile(path.c_str(), true));
}

TEST(PngResource, EditorImagesDecodeAtTheirSizes) {
  struct Expected {
    int id, width, height;
  };
  for (Expected e : {Expected{100, 2160, 1260}, {101, 68, 120}, {102, 103, 108}, {103, 103, 72},
                     {104, 103, 72}}) {
    std::unique_ptr<MemBitmap> image = LoadPngResource(nullptr, e.id);
    ASSERT_TRUE(image) << e.id;
    EXPECT_EQ(image->Width(), e.width) << e.id;
    EXPECT_EQ(image->Height(), e.height) << e.id;
    int width = 0, height = 0;
    ASSERT_TRUE(PngResourceSize(nullptr, e.id, width, height)) << e.id;
    EXPECT_EQ(width, e.width) << e.id;
    EXPECT_EQ(height, e.height) << e.id;
  }
}

// Round trip through our own decoder and libpng's reader of the file: every
// pixel comes back with its colour, opaque, whatever the row pitch.
TEST(EncodePng, PixelsComeBackOpaqueWithTheirColours) {
  SysBitmap surface(37, 5);
  surface.SetSize(33, 4);  // narrower than allocated: rows are longer than the image
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 33; ++x) RowStart(surface, y)[x] = 0x01000000u * (x * 7 % 256) | (0x10203u * (x + 33 * y));
  }
  GrowableBuffer png;
  ASSERT_TRUE(EncodePng(surface, png));
  std::unique_ptr<MemBitmap> decoded = DecodePngMemory(png.Data(), static_cast<size_t>(png.Size()));
  ASSERT_TRUE(decoded);
  ASSERT_EQ(decoded->Width(), 33);
  ASSERT_EQ(decoded->Height(), 4);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 33; ++x) {
      EXPECT_EQ(RowStart(*decoded, y)[x], 0xFF000000u | (0x10203u * (x + 33 * y) & 0xFFFFFF)) << x << ", " << y;
    }
  }
  MemBitmap empty;
  EXPECT_FALSE(EncodePng(empty, png));
}

TEST(PngResource, UnknownIdGivesNothing) {
  EXPECT_FALSE(LoadPngResource(nullptr, 99));
  EXPECT_FALSE(LoadPngResource(nullptr, 100 + 65536 * 3 + 5));
}

}  // namespace torvane
