#pragma once

#include <cstdint>

namespace torvane {

// The BlitHsvAdjust operator: shifts the hue, saturation and value of the
// destination pixel by amounts taken from the source's red, green and blue
// (128 meaning no change), scaled by weight (0..256); the alpha becomes
// sourceAlpha (limited to 255).
uint32_t HsvAdjust(uint32_t destination, int sourceRed, int sourceGreen, int sourceBlue,
                   int sourceAlpha, int weight) noexcept;

}  // namespace torvane
