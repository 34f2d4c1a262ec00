#pragma once

#include <sndfile.h>

#include <cstdint>
#include <string>

#include "tools/render/OutputFile.h"
#include "tools/render/OutputFormat.h"

namespace torvane {

// Writes rendered audio through libsndfile into an OutputFile, block by block.
// A WAV file of unknown or great length becomes RF64 should it pass the 4 GiB
// that WAV can hold. A WAV that must be streamed (standard
// output, a pipe) starts with a header announcing an unknown length, as
// streaming tools write it, since nothing can go back to fill one in.
// Integer samples clip at full scale rather than wrap around, and the clipped
// samples are counted. Owned by main, used on the main thread.
class SoundFileWriter {
 public:
  SoundFileWriter() = default;
  ~SoundFileWriter();
  SoundFileWriter(const SoundFileWriter&) = delete;
  SoundFileWriter& operator=(const SoundFileWriter&) = delete;

  // expectedFrames is the length to come, or -1 when it is unknown.
  bool Open(OutputFile& file, const OutputFormat& format, int channels, int sampleRate, int64_t expectedFrames,
            std::string& error);
  bool Write(const double* interleaved, size_t frames, std::string& error);
  // Completes the file's header; the OutputFile is committed after it.
  bool Close(std::string& error);
  uint64_t ClippedSamples() const { return clipped_; }

 private:
  bool Fail(const std::string& why, std::string& error);
  // libsndfile's view of a streamed output: it only ever appends.
  static sf_count_t StreamLength(void* self);
  static sf_count_t StreamSeek(sf_count_t offset, int whence, void* self);
  static sf_count_t StreamRead(void* data, sf_count_t size, void* self);
  static sf_count_t StreamWrite(const void* data, sf_count_t size, void* self);
  static sf_count_t StreamTell(void* self);

  SNDFILE* file_ = nullptr;
  OutputFile* stream_ = nullptr;  // set while samples are streamed through StreamWrite
  sf_count_t streamed_ = 0;
  std::string streamError_;
  std::string name_;
  int channels_ = 0;
  bool integer_ = false;
  uint64_t clipped_ = 0;
};

}  // namespace torvane
