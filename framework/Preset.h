#pragma once

#include <cstddef>

#include "framework/StateChunk.h"

namespace torvane {

constexpr size_t kPresetNameBytes = 256;

// One entry of the plug-in's preset list, addressed by the host's program number.
struct Preset {
  bool initialised = false;
  char name[kPresetNameBytes] = "empty";
  StateChunk state;  // a parameter state as written by WriteState, without header
};

}  // namespace torvane
