#pragma once

namespace torvane {

class StateChunk;

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
