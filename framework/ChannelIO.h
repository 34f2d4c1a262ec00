#pragma once

#include "core/GrowableArray.h"
#include "core/GrowableText.h"

namespace torvane {

// One legal (inputs, outputs) configuration of the plug-in.
struct ChannelIO {
  int inputs;
  int outputs;
};

// Bookkeeping of one input channel: whether the host feeds it, which slot of the
// input-pointer array it fills, and the scratch buffer that holds converted
// single-precision input (or silence while the channel is not connected).
struct InputChannel {
  bool connected = false;
  int slot = 0;
  GrowableArray<double> scratch;
  GrowableText label;
};

// Bookkeeping of one output channel: as for inputs, plus the host's
// single-precision buffer that the current call writes back into.
struct OutputChannel {
  bool connected = false;
  int slot = 0;
  float* hostBuffer = nullptr;
  GrowableArray<double> scratch;
  GrowableText label;
};

}  // namespace torvane
