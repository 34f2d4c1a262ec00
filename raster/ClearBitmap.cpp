#include "raster/ClearBitmap.h"

#include <cstring>

namespace torvane {

void ClearBitmap(IRasterBitmap* bitmap) noexcept {
  if (!bitmap || !bitmap->PixelBuffer() || bitmap->Width() <= 0 || bitmap->RowPitch() == 0) return;
  const size_t bytes = static_cast<size_t>(bitmap->Width()) * sizeof(uint32_t);
  for (int y = 0; y < bitmap->Height(); ++y) std::memset(RowStart(*bitmap, y), 0, bytes);
}

}  // namespace torvane
