#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tools/render/AudioSource.h"
#include "tools/render/LevelMeter.h"
#include "tools/render/OfflineHost.h"
#include "tools/render/RenderedBlock.h"
#include "tools/render/SoundFileWriter.h"

namespace torvane {

// Runs one render from a source through the plug-in into a writer, one block
// at a time, so memory stays the same for any length. A mono source feeds
// every plug-in input; with more channels, input c takes channel c. With
// latency compensation the plug-in's delay is cut from the front of its
// output and flushed out with silence at the end, so the output is exactly as
// long as the input and in time with it. Owned by main, run on the main thread.
class StreamRenderer {
 public:
  struct Callbacks {
    std::function<void(uint64_t framesRead)> progress;
    std::function<bool()> interrupted;  // checked before every block
    std::function<void(const RenderedBlock&)> processed;  // after every processing call
  };

  StreamRenderer(OfflineHost& host, int blockSize, bool compensateLatency);

  // Switches the plug-in's processing on and renders the whole source.
  bool Run(AudioSource& source, SoundFileWriter& writer, const Callbacks& callbacks, std::string& error);

  const LevelMeter& InputLevels() const { return inputLevels_; }
  const LevelMeter& OutputLevels() const { return outputLevels_; }
  uint64_t FramesRead() const { return framesRead_; }
  uint64_t FramesWritten() const { return framesWritten_; }

 private:
  OfflineHost& host_;
  int blockSize_;
  bool compensateLatency_;
  LevelMeter inputLevels_{0}, outputLevels_{0};
  uint64_t framesRead_ = 0, framesWritten_ = 0;
};

}  // namespace torvane
