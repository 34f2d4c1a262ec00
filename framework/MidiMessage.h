#pragma once

#include <cstdint>

namespace torvane {

// A short MIDI message at a sample offset within the current block.
struct MidiMessage {
  int32_t offset = 0;
  uint8_t status = 0;
  uint8_t data1 = 0;
  uint8_t data2 = 0;
};

// A system-exclusive message; the bytes belong to the sender. Torvane neither
// reads nor sends any.
struct SysExMessage {
  int32_t offset = 0;
  int32_t size = 0;
  const uint8_t* data = nullptr;
};

}  // namespace torvane
