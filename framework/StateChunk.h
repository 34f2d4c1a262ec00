#pragma once

#include <cstdint>

#include "core/GrowableBuffer.h"

namespace torvane {

// A growable block of bytes holding plug-in state. Writes append little-endian
// values at the end; reads take a position and return the position after the
// value, or -1 when the value does not lie wholly inside the chunk (nothing is
// read then). Not thread-safe: its owner serialises access.
class StateChunk {
 public:
  StateChunk() noexcept = default;

  bool PutInt(int32_t value) noexcept;
  bool PutDouble(double value) noexcept;
  bool PutByte(uint8_t value) noexcept;
  bool PutBytes(const void* data, int size) noexcept;
  bool PutChunk(const StateChunk& other) noexcept { return PutBytes(other.Data(), other.Size()); }

  int GetInt(int32_t& value, int position) const noexcept;
  int GetDouble(double& value, int position) const noexcept;
  int GetByte(uint8_t& value, int position) const noexcept;
  int GetBytes(void* data, int size, int position) const noexcept;

  // Replaces the contents with a copy of size bytes; false (and empty) on failure.
  bool Assign(const void* data, int size) noexcept;
  void Clear() noexcept { buffer_.Resize(0, false); }
  int Size() const noexcept { return buffer_.Size(); }
  const uint8_t* Data() const noexcept { return static_cast<const uint8_t*>(buffer_.Data()); }

 private:
  bool Fits(int position, int size) const noexcept;

  GrowableBuffer buffer_;
};

// Every chunk handed to a host starts with the magic "tffp" and a format version.
constexpr int kChunkMagic = 0x70666674;
constexpr int kChunkVersion = 0x10000;

// Empties the chunk and appends the magic and the version.
bool WriteChunkHeader(StateChunk& chunk) noexcept;

// When the magic stands at position, reads the version after it and moves the
// position past both (to -1, returning 0, if the version is cut off). Otherwise
// returns 0 and leaves the position, so a chunk without header reads from its start.
int ReadChunkHeader(const StateChunk& chunk, int& position) noexcept;

}  // namespace torvane
