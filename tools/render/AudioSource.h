#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace torvane {

// Where the renderer's audio comes from: interleaved frames in double
// precision, read block by block so that nothing holds the whole input.
// Implemented by SoundFileReader (files and standard input) and
// BassRiffSource; owned by main and read on the main thread.
class AudioSource {
 public:
  virtual ~AudioSource() = default;

  virtual int Channels() const = 0;
  virtual double SampleRate() const = 0;
  // The length in frames, or -1 when it is known only at the end (a stream).
  virtual int64_t Frames() const = 0;
  // What the audio is, for the report: "built-in bass riff", "WAV, 24-bit PCM".
  virtual std::string Description() const = 0;
  // Reads up to `frames` frames into `interleaved`, fewer only at the end;
  // `read` is 0 once the input is exhausted. False with a message on failure.
  virtual bool Read(double* interleaved, size_t frames, size_t& read, std::string& error) = 0;
};

}  // namespace torvane
