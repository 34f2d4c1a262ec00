#pragma once

#include <string>

namespace torvane {

// The container and sample format of the rendered file, chosen from the
// output's extension or --type and from --sample-format. Plain data.
struct OutputFormat {
  int format = 0;          // libsndfile's major format and subtype
  std::string container;   // "WAV", "FLAC", ...
  std::string sampleText;  // "32-bit float", "24-bit", "Vorbis", ...
  bool integer = false;    // integer samples, which clip at full scale
};

// Chooses the format: the container from `type` or else the extension of
// `path` (WAV for "-" and for names without one), the sample format from
// `sampleFormat` ("16", "24", "32", "float") or else the container's default.
// On a choice the container cannot hold, says what it can.
bool ChooseOutputFormat(const std::string& path, const std::string& type, const std::string& sampleFormat,
                        OutputFormat& format, std::string& error);

}  // namespace torvane
