#pragma once

#include <cstddef>
#include <memory>

#include "raster/MemBitmap.h"

namespace torvane {

// Shown in file dialogs that offer PNG images.
constexpr char kPngFileDescription[] = "PNG files (*.PNG)";

// Images with more pixels than this are refused before any pixel memory is
// reserved: the editor's largest image has 2.7 million, and a few bytes of a
// damaged file can declare billions.
#ifndef TORVANE_PNG_MAX_PIXELS
#define TORVANE_PNG_MAX_PIXELS (1 << 24)
#endif
constexpr long long kPngMaxPixels = TORVANE_PNG_MAX_PIXELS;

// Decodes a PNG image held in memory into raster pixels (0xAARRGGBB, straight
// alpha). Null on any failure: short or malformed data, a libpng error, an
// image above kPngMaxPixels, no memory.
std::unique_ptr<MemBitmap> DecodePngMemory(const void* bytes, size_t length) noexcept;

// The image size a PNG held in memory declares, read from its header without
// decoding it; false for data that does not start like a PNG or declares an
// image DecodePngMemory would refuse for its size.
bool ReadPngSize(const void* bytes, size_t length, int& width, int& height) noexcept;

// The same into an existing bitmap, resized to fit; false on failure, when
// the bitmap holds no meaningful pixels.
bool DecodePngMemoryInto(const void* bytes, size_t length, IRasterBitmap& target) noexcept;

// Decodes a PNG file named in UTF-8 like DecodePngMemory. With checkExtension,
// names whose extension is not ".png" (any case) fail without opening.
std::unique_ptr<MemBitmap> LoadPngFile(const char* utf8Name, bool checkExtension) noexcept;
bool LoadPngFileInto(const char* utf8Name, bool checkExtension, IRasterBitmap& target) noexcept;

// Decodes the PNG resource with this id from module (see FindPngResource in
// system/ModuleResources.h); null when it is absent or undecodable.
std::unique_ptr<MemBitmap> LoadPngResource(void* module, int id) noexcept;
// The size of that resource's image, from its header alone.
bool PngResourceSize(void* module, int id, int& width, int& height) noexcept;

}  // namespace torvane
