#pragma once

#include <cstddef>
#include <memory>

#include "raster/MemBitmap.h"

namespace torvane {

// Shown in file dialogs that offer PNG images.
constexpr char kPngFileDescription[] = "PNG files (*.PNG)";

// Decodes a PNG image held in memory into raster pixels (0xAARRGGBB, straight
// alpha). With reuse the image goes into that bitmap, resized to fit, and
// reuse is returned (the caller keeps owning it); otherwise the result is a
// new MemBitmap the caller owns. Null on any failure: short or malformed data,
// a libpng error, no memory; a reused bitmap then holds no meaningful pixels.
IRasterBitmap* DecodePngMemory(const void* bytes, size_t length, IRasterBitmap* reuse) noexcept;

// Decodes a PNG file named in UTF-8 like DecodePngMemory. With checkExtension,
// names whose extension is not ".png" (any case) give null without opening.
IRasterBitmap* LoadPngFile(const char* utf8Name, bool checkExtension,
                           IRasterBitmap* reuse) noexcept;

// Decodes the PNG resource with this id from module (see FindPngResource in
// platform/ModuleResources.h); null when it is absent or undecodable.
std::unique_ptr<MemBitmap> LoadPngResource(void* module, int id) noexcept;

}  // namespace torvane
