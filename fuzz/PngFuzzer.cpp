// libFuzzer target for the PNG decoder: any byte string handed to the memory
// decoder, through both entry points, into a new bitmap, into a heap bitmap
// of another size and into a system bitmap that keeps a wider row pitch. The
// three decodes must agree on success, size and every pixel. The pixel cap is
// small in this build, so that declared sizes beyond it are refused quickly.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "fuzz/Require.h"
#include "raster/MemBitmap.h"
#include "raster/PngLoader.h"
#include "raster/SysBitmap.h"

namespace torvane {
namespace {

// Every pixel row of a decoded image is read, so that AddressSanitizer sees
// any row that lies outside the bitmap's storage.
void RequireSameImage(const IRasterBitmap& a, const IRasterBitmap& b) {
  Require(a.Width() == b.Width() && a.Height() == b.Height());
  Require(a.Width() > 0 && a.Height() > 0 && static_cast<long long>(a.Width()) * a.Height() <= kPngMaxPixels);
  const size_t rowBytes = sizeof(uint32_t) * static_cast<size_t>(a.Width());
  for (int y = 0; y < a.Height(); ++y) Require(std::memcmp(RowStart(a, y), RowStart(b, y), rowBytes) == 0);
}

}  // namespace
}  // namespace torvane

using namespace torvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::unique_ptr<MemBitmap> fresh = DecodePngMemory(data, size);

  // Earlier sizes that the decode must replace: derived from the input so
  // that every run of it sees the same ones.
  const int width = 1 + static_cast<int>(size % 37), height = 1 + static_cast<int>(size % 11);
  MemBitmap reused(width, height);
  const bool reusedOk = DecodePngMemoryInto(data, size, reused);
  // A surface first created wider and taller keeps its row pitch when it shrinks.
  SysBitmap surface(width + 130, height + 130);
  const bool surfaceOk = DecodePngMemoryInto(data, size, surface);

  Require(reusedOk == (fresh != nullptr) && surfaceOk == reusedOk);
  if (fresh) {
    RequireSameImage(*fresh, reused);
    RequireSameImage(*fresh, surface);
  }
  return 0;
}
