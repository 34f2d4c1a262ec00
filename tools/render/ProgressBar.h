#pragma once

#include <chrono>
#include <cstdint>

namespace torvane {

// A progress bar on standard error, drawn only while a person watches a
// terminal. It follows the frames read; with an input of unknown length (a
// stream) it shows the audio time rendered instead. It stays short of 100 %
// until Finish, which main calls once the output is complete on disk.
class ProgressBar {
 public:
  // totalFrames below 0: unknown length.
  ProgressBar(bool enabled, int64_t totalFrames, double sampleRate);

  void Update(uint64_t frames);
  void Finish();
  // Removes the bar, so that a message can take its line.
  void Clear();

 private:
  void Draw(uint64_t frames, bool done);

  bool enabled_;
  int64_t totalFrames_;
  double sampleRate_;
  uint64_t frames_ = 0;
  bool drawn_ = false;
  std::chrono::steady_clock::time_point lastDraw_;
};

}  // namespace torvane
