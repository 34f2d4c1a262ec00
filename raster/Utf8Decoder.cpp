#include "raster/Utf8Decoder.h"

namespace torvane {

namespace {

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

}  // namespace

Utf8Character DecodeUtf8(const char* text, int remaining) noexcept {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text);
  const unsigned char lead = bytes[0];
  if (lead < 0x80) return {lead, 1};

  // The sequence length and the range the second byte must lie in: narrower
  // than a plain continuation byte for the leads that could otherwise encode
  // an overlong form, a surrogate or a value above U+10FFFF.
  int length = 0;
  unsigned char low = 0x80, high = 0xBF;
  uint32_t value = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    value = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    value = lead & 0x0F;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    value = lead & 0x07;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return {kReplacementCharacter, 1};
  }

  for (int i = 1; i < length; ++i) {
    if (i >= remaining) return {kReplacementCharacter, i};
    const unsigned char byte = bytes[i];
    const bool valid = i == 1 ? byte >= low && byte <= high : IsContinuation(byte);
    if (!valid) return {kReplacementCharacter, i};
    value = value << 6 | (byte & 0x3F);
  }
  return {value, length};
}

}  // namespace torvane
