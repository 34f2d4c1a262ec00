// The editor's five images as shipped in resources/img: their sizes and RGBA
// layout, the frame layout of the switch strips and the fader cap, and the
// places of the background that the editor paints over itself (read-outs,
// meter bars, version text), which must stay plain there.
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace torvane {

namespace {

// Every image is drawn at three times the editor's size.
constexpr int kFactor = 3;
// Rows of one switch frame in the files (12 editor rows).
constexpr int kFrameRows = 36;

struct Rect {
  int left, top, right, bottom;
};

// One image decoded to 8-bit RGBA, with the bit depth and colour type that
// the file itself declares.
struct Image {
  int width = 0;
  int height = 0;
  int bitDepth = 0;
  int colourType = -1;
  std::vector<uint8_t> rgba;

  const uint8_t* At(int x, int y) const { return &rgba[(static_cast<size_t>(y) * width + x) * 4]; }
  int Alpha(int x, int y) const { return At(x, y)[3]; }
  int Brightness(int x, int y) const { return At(x, y)[0] + At(x, y)[1] + At(x, y)[2]; }
};

// Decodes with libpng; the header fields come straight from the IHDR chunk,
// which the format fixes as the first chunk, since the decoder would hide
// whether alpha came from the colour type or from a transparency chunk.
bool Decode(const std::string& path, Image& image) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  unsigned char header[26];
  bool ok = std::fread(header, 1, sizeof header, file) == sizeof header && png_sig_cmp(header, 0, 8) == 0 &&
            std::memcmp(header + 12, "IHDR", 4) == 0;
  if (ok) {
    image.bitDepth = header[24];
    image.colourType = header[25];
    std::rewind(file);
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    ok = png_image_begin_read_from_stdio(&png, file) != 0;
    if (ok) {
      png.format = PNG_FORMAT_RGBA;
      image.width = static_cast<int>(png.width);
      image.height = static_cast<int>(png.height);
      image.rgba.resize(PNG_IMAGE_SIZE(png));
      ok = png_image_finish_read(&png, nullptr, image.rgba.data(), 0, nullptr) != 0;
    }
    png_image_free(&png);
  }
  std::fclose(file);
  return ok;
}

// Decoded once per test program; an image that fails to load stays empty.
const Image& Load(const char* name) {
  static std::map<std::string, Image> images;
  auto found = images.find(name);
  if (found == images.end()) {
    Image image;
    if (!Decode(std::string(TORVANE_SOURCE_DIR) + "/resources/img/" + name, image)) image = Image();
    found = images.emplace(name, image).first;
  }
  return found->second;
}

// Editor rectangle to image pixels.
Rect Scaled(const Rect& r) { return {r.left * kFactor, r.top * kFactor, r.right * kFactor, r.bottom * kFactor}; }

struct ImageSpec {
  const char* name;
  int width, height, frames;
};

const ImageSpec kImages[] = {
    {"bg.png", 2160, 1260, 1},   {"vsliderhandle.png", 68, 120, 1}, {"trim.png", 103, 108, 3},
    {"onoff.png", 103, 72, 2},   {"ms.png", 103, 72, 2},
};

TEST(ArtworkImages, EachImageHasItsSizeAndIsEightBitRgba) {
  for (const ImageSpec& spec : kImages) {
    SCOPED_TRACE(spec.name);
    const Image& image = Load(spec.name);
    ASSERT_GT(image.width, 0) << "cannot read the file";
    EXPECT_EQ(spec.width, image.width);
    EXPECT_EQ(spec.height, image.height);
    EXPECT_EQ(8, image.bitDepth);
    EXPECT_EQ(PNG_COLOR_TYPE_RGB_ALPHA, image.colourType);
    // Stacked frames of equal height, each reducing to 12 editor rows.
    EXPECT_EQ(0, spec.height % spec.frames);
    if (spec.frames > 1) {
      EXPECT_EQ(kFrameRows, spec.height / spec.frames);
    }
  }
}

TEST(ArtworkBackground, IsOpaqueEverywhere) {
  const Image& bg = Load("bg.png");
  ASSERT_GT(bg.width, 0);
  int translucent = 0;
  for (int y = 0; y < bg.height; ++y)
    for (int x = 0; x < bg.width; ++x) translucent += bg.Alpha(x, y) != 255;
  EXPECT_EQ(0, translucent);
}

// The value and version texts are drawn over these places and the meters
// fill their bars over them with alpha: they stay dark and even.
TEST(ArtworkBackground, PlacesTheEditorPaintsOverArePlainAndDark) {
  const Rect places[] = {
      // read-outs
      {41, 305, 81, 319}, {91, 305, 131, 319}, {161, 385, 201, 399}, {221, 385, 261, 399},
      {281, 385, 321, 399}, {341, 385, 381, 399}, {401, 385, 441, 399}, {461, 385, 501, 399},
      {521, 385, 561, 399}, {591, 305, 631, 319}, {641, 305, 681, 319},
      // meters
      {261, 72, 460, 78}, {261, 81, 460, 87}, {261, 90, 460, 96}, {261, 99, 460, 105},
      {261, 108, 460, 114}, {261, 117, 460, 123}, {261, 126, 460, 132}, {261, 145, 460, 151},
      // version text: its rectangle is (666, 13, 700, 23), the centred text
      // is about 56 pixels wide
      {654, 12, 712, 24},
  };
  constexpr int kDarkLimit = 48;  // per channel
  constexpr int kEvenness = 4;    // allowed spread per channel
  const Image& bg = Load("bg.png");
  ASSERT_GT(bg.width, 0);
  for (const Rect& place : places) {
    SCOPED_TRACE(testing::Message() << "(" << place.left << ", " << place.top << ", " << place.right << ", "
                                    << place.bottom << ")");
    const Rect r = Scaled(place);
    int low[3] = {255, 255, 255}, high[3] = {0, 0, 0};
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x)
        for (int c = 0; c < 3; ++c) {
          low[c] = std::min(low[c], static_cast<int>(bg.At(x, y)[c]));
          high[c] = std::max(high[c], static_cast<int>(bg.At(x, y)[c]));
        }
    for (int c = 0; c < 3; ++c) {
      EXPECT_LT(high[c], kDarkLimit);
      EXPECT_LE(high[c] - low[c], kEvenness);
    }
  }
}

// The handle's centre line sits 20 rows below its top and travels from the
// rectangle's top + 20 to its bottom - 20: the dark slot runs under the middle
// column of every fader rectangle over that whole range.
TEST(ArtworkBackground, FaderSlotRunsUnderEveryFaderRectangle) {
  const Rect faders[] = {
      {49, 70, 71, 310},   {99, 70, 121, 310},  {169, 220, 191, 390}, {229, 220, 251, 390},
      {289, 220, 311, 390}, {349, 220, 371, 390}, {409, 220, 431, 390}, {469, 220, 491, 390},
      {529, 220, 551, 390}, {599, 70, 621, 310},  {649, 70, 671, 310},
  };
  constexpr int kSlotLimit = 3 * 24;  // brightness, sum of the three channels
  const Image& bg = Load("bg.png");
  ASSERT_GT(bg.width, 0);
  for (const Rect& fader : faders) {
    SCOPED_TRACE(testing::Message() << "fader at x " << fader.left);
    const int middle = (fader.left + 11) * kFactor;
    int lit = 0;
    for (int y = (fader.top + 20) * kFactor; y < (fader.bottom - 20) * kFactor; ++y) lit += bg.Brightness(middle, y) > kSlotLimit;
    EXPECT_EQ(0, lit);
    // ...and not beside the rectangle: the slot belongs to this fader.
    const int midRow = (fader.top + fader.bottom) / 2 * kFactor;
    EXPECT_GT(bg.Brightness((fader.left - 1) * kFactor, midRow), kSlotLimit);
  }
}

// Meter bars start at editor column 360; the scale's centre line between the
// troughs marks exactly that column.
TEST(ArtworkBackground, MeterCentreLineMarksColumn360) {
  const int gapRows[] = {79, 88, 97, 106, 115, 124};
  const Image& bg = Load("bg.png");
  ASSERT_GT(bg.width, 0);
  for (int row : gapRows) {
    SCOPED_TRACE(testing::Message() << "row " << row);
    const int y = row * kFactor + 1;
    const int centre = bg.Brightness(360 * kFactor + 1, y);
    EXPECT_GT(centre, bg.Brightness(359 * kFactor + 1, y) + 120);
    EXPECT_GT(centre, bg.Brightness(361 * kFactor + 1, y) + 120);
  }
}

TEST(ArtworkHandle, CornersAreTransparentAndTheCapOpaque) {
  const Image& handle = Load("vsliderhandle.png");
  ASSERT_EQ(68, handle.width);
  ASSERT_EQ(120, handle.height);
  EXPECT_EQ(0, handle.Alpha(0, 0));
  EXPECT_EQ(0, handle.Alpha(67, 0));
  EXPECT_EQ(0, handle.Alpha(0, 119));
  EXPECT_EQ(0, handle.Alpha(67, 119));
  for (int y = 20; y < 100; ++y) EXPECT_EQ(255, handle.Alpha(34, y)) << "row " << y;
}

// At the bottom of its travel the 40-row handle overlaps the read-out under
// the fader by 5 editor rows; the cap ends before the value text starts.
TEST(ArtworkHandle, CapLeavesItsLastRowsClearOfTheReadout) {
  const Image& handle = Load("vsliderhandle.png");
  ASSERT_EQ(120, handle.height);
  int visible = 0;
  for (int y = 37 * kFactor; y < handle.height; ++y)
    for (int x = 0; x < handle.width; ++x) visible += handle.Alpha(x, y) != 0;
  EXPECT_EQ(0, visible);
}

// Rows 60..62 become row 20 of the reduced cap, the row the scales mark; the
// line stands out against the rows around it across the cap's face (its
// sides are shaded).
TEST(ArtworkHandle, CentreLineFillsTheRowsOfReducedRow20) {
  const Image& handle = Load("vsliderhandle.png");
  ASSERT_EQ(120, handle.height);
  for (int x = 14; x < 54; ++x) {
    for (int y = 60; y < 63; ++y) EXPECT_GT(handle.Brightness(x, y), 3 * 220) << x << ", " << y;
    EXPECT_LT(handle.Brightness(x, 58), 3 * 60) << x;
    EXPECT_LT(handle.Brightness(x, 64), 3 * 60) << x;
  }
}

TEST(ArtworkSwitches, FramesDifferAndEachHasTransparentCorners) {
  for (const ImageSpec& spec : kImages) {
    if (spec.frames < 2) continue;
    SCOPED_TRACE(spec.name);
    const Image& strip = Load(spec.name);
    ASSERT_EQ(spec.height, strip.height);
    for (int f = 0; f < spec.frames; ++f) {
      const int top = f * kFrameRows, bottom = top + kFrameRows - 1, right = strip.width - 1;
      EXPECT_EQ(0, strip.Alpha(0, top));
      EXPECT_EQ(0, strip.Alpha(right, top));
      EXPECT_EQ(0, strip.Alpha(0, bottom));
      EXPECT_EQ(0, strip.Alpha(right, bottom));
      EXPECT_EQ(255, strip.Alpha(strip.width / 2, top + kFrameRows / 2));
      for (int g = f + 1; g < spec.frames; ++g) {
        int different = 0;
        for (int y = 0; y < kFrameRows; ++y)
          for (int x = 0; x < strip.width; ++x)
            different += std::memcmp(strip.At(x, top + y), strip.At(x, g * kFrameRows + y), 4) != 0;
        EXPECT_GT(different, 100) << "frames " << f << " and " << g;
      }
    }
  }
}

}  // namespace

}  // namespace torvane
