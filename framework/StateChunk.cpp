#include "framework/StateChunk.h"

#include <cstring>

namespace torvane {

bool StateChunk::PutBytes(const void* data, int size) noexcept {
  if (size < 0 || (size > 0 && !data)) return false;
  const int oldSize = buffer_.Size();
  if (size > 0x7fffffff - oldSize) return false;
  auto* bytes = static_cast<uint8_t*>(buffer_.Resize(oldSize + size, false));
  if (buffer_.Size() != oldSize + size) return false;
  if (size > 0) std::memcpy(bytes + oldSize, data, size);
  return true;
}

bool StateChunk::PutInt(int32_t value) noexcept {
  const auto u = static_cast<uint32_t>(value);
  const uint8_t bytes[4] = {uint8_t(u), uint8_t(u >> 8), uint8_t(u >> 16), uint8_t(u >> 24)};
  return PutBytes(bytes, 4);
}

bool StateChunk::PutDouble(double value) noexcept {
  uint64_t u;
  std::memcpy(&u, &value, 8);
  uint8_t bytes[8];
  for (int i = 0; i < 8; ++i) bytes[i] = uint8_t(u >> (8 * i));
  return PutBytes(bytes, 8);
}

bool StateChunk::PutByte(uint8_t value) noexcept { return PutBytes(&value, 1); }

bool StateChunk::Fits(int position, int size) const noexcept {
  return position >= 0 && size >= 0 && static_cast<int64_t>(position) + size <= Size();
}

int StateChunk::GetBytes(void* data, int size, int position) const noexcept {
  if (!Fits(position, size) || (size > 0 && !data)) return -1;
  if (size > 0) std::memcpy(data, Data() + position, size);
  return position + size;
}

int StateChunk::GetInt(int32_t& value, int position) const noexcept {
  if (!Fits(position, 4)) return -1;
  const uint8_t* b = Data() + position;
  value = static_cast<int32_t>(uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24);
  return position + 4;
}

int StateChunk::GetDouble(double& value, int position) const noexcept {
  if (!Fits(position, 8)) return -1;
  const uint8_t* b = Data() + position;
  uint64_t u = 0;
  for (int i = 7; i >= 0; --i) u = u << 8 | b[i];
  std::memcpy(&value, &u, 8);
  return position + 8;
}

int StateChunk::GetByte(uint8_t& value, int position) const noexcept {
  if (!Fits(position, 1)) return -1;
  value = Data()[position];
  return position + 1;
}

bool StateChunk::Assign(const void* data, int size) noexcept {
  const auto* bytes = static_cast<const uint8_t*>(data);
  if (bytes && size > 0 && bytes >= Data() && bytes < Data() + Size()) {
    // A host handing back the bytes it got from us: they already live here.
    if (size > Data() + Size() - bytes) return false;
    std::memmove(buffer_.Data(), bytes, static_cast<size_t>(size));
    buffer_.Resize(size, false);
    return true;
  }
  Clear();
  return PutBytes(data, size);
}

bool WriteChunkHeader(StateChunk& chunk) noexcept {
  chunk.Clear();
  return chunk.PutInt(kChunkMagic) && chunk.PutInt(kChunkVersion);
}

int ReadChunkHeader(const StateChunk& chunk, int& position) noexcept {
  int32_t magic = 0;
  const int afterMagic = chunk.GetInt(magic, position);
  if (afterMagic < 0 || magic != kChunkMagic) return 0;
  int32_t version = 0;
  position = chunk.GetInt(version, afterMagic);
  return position < 0 ? 0 : version;
}

}  // namespace torvane
