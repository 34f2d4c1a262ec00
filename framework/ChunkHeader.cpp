#include "framework/ChunkHeader.h"

#include "framework/StateChunk.h"

namespace torvane {

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
