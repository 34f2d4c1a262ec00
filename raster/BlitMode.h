#pragma once

namespace torvane {

// The mode argument of BlitRegion, FillRegion and DrawLine: the low byte picks
// the per-pixel operator, BlitUseSourceAlpha makes the weight follow each
// source pixel's alpha.
constexpr int BlitCopy = 0;
constexpr int BlitAdd = 1;
constexpr int BlitDodge = 2;
constexpr int BlitMultiply = 3;
constexpr int BlitOverlay = 4;
constexpr int BlitHsvAdjust = 5;
constexpr int BlitUseSourceAlpha = 0x10000;

// Channel numbers within a pixel word, counted from the low byte.
constexpr int kChannelBlue = 0;
constexpr int kChannelGreen = 1;
constexpr int kChannelRed = 2;
constexpr int kChannelAlpha = 3;

// Blit only: copies one source channel into one destination channel and
// leaves the other destination channels alone.
constexpr int kBlitChannelCopyBase = 0xF0;
constexpr int BlitChannelCopy(int destinationChannel, int sourceChannel) {
  return kBlitChannelCopyBase + 4 * destinationChannel + sourceChannel;
}

}  // namespace torvane
