#pragma once

#include <cstdint>

namespace torvane {

class IRasterBitmap;

// The value records controls draw with: a colour, a blend and an image strip.
// Plain values except the strip, which lives in the process-wide strip
// registry and is read and rescaled on the editor window's thread.

// A colour with each channel 0..255.
struct IArgb {
  int alpha = 255;
  int red = 0;
  int green = 0;
  int blue = 0;

  // The raster layer's pixel word 0xAARRGGBB.
  uint32_t Packed() const noexcept {
    return static_cast<uint32_t>(alpha) << 24 | static_cast<uint32_t>(red) << 16 |
           static_cast<uint32_t>(green) << 8 | static_cast<uint32_t>(blue);
  }
};

// How an image is combined with what lies under it.
constexpr int BlendAlpha = 0;   // copy, weighted by the image's own alpha
constexpr int BlendOpaque = 1;  // plain copy, alpha ignored
constexpr int BlendAdd = 2;     // additive, weighted by the image's alpha
constexpr int BlendDodge = 3;   // colour dodge, weighted by the image's alpha

struct IBlendSpec {
  int method = BlendAlpha;
  float weight = 1.0f;  // opacity of the whole blit
};

// Frames of equal size in one raster, stacked top to bottom (or side by side).
// The raster belongs to the raster cache; width and height are the whole
// strip's, at the current scale. The unscaled size is the image's at scale 1,
// which controls are laid out with whatever scale the images are rendered at
// when the control is built.
struct IImageStrip {
  IRasterBitmap* raster = nullptr;
  int width = 0;
  int height = 0;
  int frameCount = 1;
  bool sideBySide = false;
  int unscaledWidth = 0;
  int unscaledHeight = 0;
};

}  // namespace torvane
