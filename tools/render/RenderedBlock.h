#pragma once

#include <cstddef>

namespace torvane {

// One processing call of a render as the stream renderer hands it on:
// interleaved frames, borrowed for the duration of the call. The input frames
// are the ones read for the call (none while the plug-in's delay is flushed
// out after the end); the output frames are the ones kept for the output.
struct RenderedBlock {
  const double* input = nullptr;
  size_t inputFrames = 0;
  int inputChannels = 0;
  const double* output = nullptr;
  size_t outputFrames = 0;
  int outputChannels = 0;
};

}  // namespace torvane
