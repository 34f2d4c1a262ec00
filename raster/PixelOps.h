#pragma once

// The per-pixel operators shared by blit, fill and line drawing. Each works on
// one destination word and a source given as four channel values, so that a
// fill can pass its weight as the source alpha (which may then be 256). The
// loops pick an operator once per call and instantiate themselves for it, so
// no pixel goes through a function pointer.

#include <algorithm>
#include <cstdint>

#include "raster/BlitMode.h"
#include "raster/HsvAdjust.h"

namespace torvane {

namespace pixel {

// Source channels, 0..255 (alpha up to 256 when a fill's weight stands in).
struct Channels {
  int blue;
  int green;
  int red;
  int alpha;
};

inline Channels Unpack(uint32_t p) noexcept {
  return {static_cast<int>(p & 0xFF), static_cast<int>((p >> 8) & 0xFF),
          static_cast<int>((p >> 16) & 0xFF), static_cast<int>(p >> 24)};
}

inline uint32_t Pack(int blue, int green, int red, int alpha) noexcept {
  return static_cast<uint32_t>(alpha) << 24 | static_cast<uint32_t>(red) << 16 |
         static_cast<uint32_t>(green) << 8 | static_cast<uint32_t>(blue);
}

// Alpha to an integer weight 0..256, truncated; NaN and negatives give 0.
inline int WeightFromAlpha(double alpha) noexcept {
  if (!(alpha > 0.0)) return 0;
  if (alpha >= 1.0) return 256;
  return static_cast<int>(alpha * 256.0);
}

// Shift-and-mask mixes of whole words for the weights 1/2, 1/4 and 3/4; low
// bits that fall off are dropped.
inline uint32_t MixHalf(uint32_t c, uint32_t d) noexcept {
  return ((c >> 1) & 0x7F7F7F7F) + ((d >> 1) & 0x7F7F7F7F);
}
inline uint32_t MixQuarter(uint32_t c, uint32_t d) noexcept {
  return ((d >> 1) & 0x7F7F7F7F) + ((c >> 2) & 0x3F3F3F3F) + ((d >> 2) & 0x3F3F3F3F);
}
inline uint32_t MixThreeQuarters(uint32_t c, uint32_t d) noexcept {
  return ((c >> 2) & 0x3F3F3F3F) + ((d >> 2) & 0x3F3F3F3F) + ((c >> 1) & 0x7F7F7F7F);
}

// Channel operators: destination d, source s, weight w (0..256). Divisions
// truncate toward zero, as C++ integer division does.
inline int CopyChannel(int d, int s, int w) noexcept { return s + (d - s) * (256 - w) / 256; }

inline int AddChannel(int d, int s, int w) noexcept { return std::min(255, d + s * w / 256); }

inline int DodgeChannel(int d, int s, int w) noexcept {
  const int k = s * w / 256;
  if (k > 254) return std::min(255, d * 256);
  return std::min(255, d * 256 / (256 - k));
}

inline int MultiplyChannel(int d, int s, int w) noexcept {
  return ((w * (s - 256) + 65536) * d) >> 16;
}

inline int OverlayChannel(int d, int s, int w) noexcept {
  const int m = (256 - w) * 128;
  const int sw = s * w;
  return std::clamp((((32768 - sw - m) * d / 256 + sw + m) * d) >> 15, 0, 255);
}

// A channel operator applied to all four channels.
template <int (*Channel)(int, int, int)>
struct ChannelwiseOperator {
  uint32_t operator()(uint32_t d, const Channels& s, int w) const noexcept {
    return Pack(Channel(d & 0xFF, s.blue, w), Channel((d >> 8) & 0xFF, s.green, w),
                Channel((d >> 16) & 0xFF, s.red, w), Channel(d >> 24, s.alpha, w));
  }
};

struct HsvOperator {
  uint32_t operator()(uint32_t d, const Channels& s, int w) const noexcept {
    return HsvAdjust(d, s.red, s.green, s.blue, s.alpha, w);
  }
};

// Calls fn once with the operator object for `op` (BlitCopy .. BlitHsvAdjust)
// and returns true; returns false for any other value, which draws nothing.
template <class Fn>
bool WithOperator(int op, Fn&& fn) {
  switch (op) {
    case BlitCopy: fn(ChannelwiseOperator<CopyChannel>{}); return true;
    case BlitAdd: fn(ChannelwiseOperator<AddChannel>{}); return true;
    case BlitDodge: fn(ChannelwiseOperator<DodgeChannel>{}); return true;
    case BlitMultiply: fn(ChannelwiseOperator<MultiplyChannel>{}); return true;
    case BlitOverlay: fn(ChannelwiseOperator<OverlayChannel>{}); return true;
    case BlitHsvAdjust: fn(HsvOperator{}); return true;
    default: return false;
  }
}

// Per-pixel weight under BlitUseSourceAlpha.
inline int SourceAlphaWeight(int w, int sourceAlpha) noexcept {
  return w * (sourceAlpha + 1) / 256;
}

// Copy under BlitUseSourceAlpha: the colour moves toward the source by the
// per-pixel weight, and coverage is added to the destination's alpha.
inline uint32_t SourceAlphaCopy(uint32_t d, uint32_t s, int colourWeight, int coverage) noexcept {
  const Channels dc = Unpack(d);
  const Channels sc = Unpack(s);
  return Pack(CopyChannel(dc.blue, sc.blue, colourWeight),
              CopyChannel(dc.green, sc.green, colourWeight),
              CopyChannel(dc.red, sc.red, colourWeight), std::min(255, dc.alpha + coverage));
}

// At full weight a source alpha a (1..254) moves the colour by a + 1 and adds
// a itself to the alpha; 0 is skipped and 255 replaces the pixel.
inline uint32_t SourceAlphaCopyOpaque(uint32_t d, uint32_t s, int sourceAlpha) noexcept {
  return SourceAlphaCopy(d, s, sourceAlpha + 1, sourceAlpha);
}

}  // namespace pixel

}  // namespace torvane
