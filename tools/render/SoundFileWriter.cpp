#include "tools/render/SoundFileWriter.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <vector>

namespace torvane {

namespace {
// WAVE format tags.
constexpr uint16_t kWavePcm = 1;
constexpr uint16_t kWaveFloat = 3;
// A RIFF or chunk size that streaming writers use for "until the end".
constexpr uint32_t kUnknownSize = 0xFFFFFFFF;

void Append(std::vector<char>& bytes, const char* text) { bytes.insert(bytes.end(), text, text + 4); }

void Append(std::vector<char>& bytes, uint32_t value, int width) {
  for (int i = 0; i < width; ++i) bytes.push_back(static_cast<char>(value >> (8 * i) & 0xFF));
}

int BitsPerSample(int subtype) {
  switch (subtype) {
    case SF_FORMAT_PCM_16: return 16;
    case SF_FORMAT_PCM_24: return 24;
    default: return 32;
  }
}

// Whether a plain WAV holds this many frames: its sizes are 32-bit.
bool FitsInWav(int64_t frames, int channels, int subtype) {
  constexpr uint64_t kHeaderRoom = 1 << 16;  // far more than libsndfile's header chunks take
  return frames >= 0 && static_cast<uint64_t>(frames) * channels * (BitsPerSample(subtype) / 8) + kHeaderRoom <=
                            std::numeric_limits<uint32_t>::max();
}

// The header of a WAV file whose length is not known while it is written.
std::vector<char> StreamingWavHeader(int subtype, int channels, int sampleRate) {
  const uint32_t bits = BitsPerSample(subtype);
  const uint32_t blockAlign = channels * bits / 8;
  const bool isFloat = subtype == SF_FORMAT_FLOAT;
  std::vector<char> header;
  Append(header, "RIFF");
  Append(header, kUnknownSize, 4);
  Append(header, "WAVE");
  Append(header, "fmt ");
  Append(header, isFloat ? 18 : 16, 4);
  Append(header, isFloat ? kWaveFloat : kWavePcm, 2);
  Append(header, channels, 2);
  Append(header, sampleRate, 4);
  Append(header, sampleRate * blockAlign, 4);
  Append(header, blockAlign, 2);
  Append(header, bits, 2);
  if (isFloat) Append(header, 0, 2);  // no extension bytes
  Append(header, "data");
  Append(header, kUnknownSize, 4);
  return header;
}
}  // namespace

SoundFileWriter::~SoundFileWriter() {
  if (file_) sf_close(file_);
}

bool SoundFileWriter::Fail(const std::string& why, std::string& error) {
  error = "cannot write " + name_ + ": " + why;
  return false;
}

bool SoundFileWriter::Open(OutputFile& file, const OutputFormat& format, int channels, int sampleRate,
                           int64_t expectedFrames, std::string& error) {
  name_ = file.Name();
  channels_ = channels;
  integer_ = format.integer;
  const int major = format.format & SF_FORMAT_TYPEMASK, subtype = format.format & SF_FORMAT_SUBMASK;
  SF_INFO info = {};
  info.samplerate = sampleRate;
  info.channels = channels;
  info.format = format.format;
  if (!sf_format_check(&info)) {
    return Fail(format.container + " " + format.sampleText + " cannot hold " + std::to_string(channels) +
                    " channels at " + std::to_string(sampleRate) + " Hz",
                error);
  }
  const bool streamedWav = major == SF_FORMAT_WAV && file.Streaming();
  if (streamedWav) {
    // The header is ours; libsndfile appends the bare samples after it.
    const std::vector<char> header = StreamingWavHeader(subtype, channels, sampleRate);
    if (!file.Write(header.data(), header.size(), error)) return false;
    info.format = SF_FORMAT_RAW | subtype | SF_ENDIAN_LITTLE;
    stream_ = &file;
    SF_VIRTUAL_IO io = {StreamLength, StreamSeek, StreamRead, StreamWrite, StreamTell};
    file_ = sf_open_virtual(&io, SFM_WRITE, &info, this);
  } else {
    if (major == SF_FORMAT_WAV && !FitsInWav(expectedFrames, channels, subtype)) info.format = SF_FORMAT_RF64 | subtype;
    file_ = sf_open_fd(file.Descriptor(), SFM_WRITE, &info, SF_FALSE);
  }
  if (!file_) {
    const std::string why = sf_strerror(nullptr);
    return Fail(why + (file.Streaming() ? " (streamed output takes wav, flac, ogg, opus or au)" : ""), error);
  }
  if ((info.format & SF_FORMAT_TYPEMASK) == SF_FORMAT_RF64) {
    sf_command(file_, SFC_RF64_AUTO_DOWNGRADE, nullptr, SF_TRUE);
  }
  if (integer_) sf_command(file_, SFC_SET_CLIPPING, nullptr, SF_TRUE);
  return true;
}

bool SoundFileWriter::Write(const double* interleaved, size_t frames, std::string& error) {
  if (integer_) {
    for (size_t i = 0; i < frames * channels_; ++i) clipped_ += std::fabs(interleaved[i]) > 1.0;
  }
  const sf_count_t written = sf_writef_double(file_, interleaved, static_cast<sf_count_t>(frames));
  if (written == static_cast<sf_count_t>(frames)) return true;
  if (!streamError_.empty()) {
    error = streamError_;
    return false;
  }
  return Fail(sf_strerror(file_), error);
}

bool SoundFileWriter::Close(std::string& error) {
  const int result = sf_close(file_);
  file_ = nullptr;
  if (!streamError_.empty()) {
    error = streamError_;
    return false;
  }
  if (result != 0) return Fail(sf_error_number(result), error);
  return true;
}

sf_count_t SoundFileWriter::StreamLength(void* self) { return static_cast<SoundFileWriter*>(self)->streamed_; }

sf_count_t SoundFileWriter::StreamSeek(sf_count_t offset, int whence, void* self) {
  // Staying in place is all a stream can do.
  const sf_count_t position = static_cast<SoundFileWriter*>(self)->streamed_;
  const bool stays = (whence == SEEK_CUR && offset == 0) || (whence != SEEK_CUR && offset == position);
  return stays ? position : -1;
}

sf_count_t SoundFileWriter::StreamRead(void*, sf_count_t, void*) { return 0; }

sf_count_t SoundFileWriter::StreamWrite(const void* data, sf_count_t size, void* self) {
  SoundFileWriter& writer = *static_cast<SoundFileWriter*>(self);
  if (!writer.streamError_.empty() ||
      !writer.stream_->Write(data, static_cast<size_t>(size), writer.streamError_)) {
    return 0;
  }
  writer.streamed_ += size;
  return size;
}

sf_count_t SoundFileWriter::StreamTell(void* self) { return static_cast<SoundFileWriter*>(self)->streamed_; }

}  // namespace torvane
