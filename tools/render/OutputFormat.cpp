#include "tools/render/OutputFormat.h"

#include <sndfile.h>

#include <algorithm>
#include <cctype>
#include <sstream>
#include <vector>

namespace torvane {

namespace {
struct Container {
  const char* names;  // the --type names and file extensions, space-separated
  const char* title;
  int major;
  int defaultSubtype;  // for lossy containers their codec, which takes no sample format
  bool lossy;
};

constexpr Container kContainers[] = {
    {"wav wave", "WAV", SF_FORMAT_WAV, SF_FORMAT_FLOAT, false},
    {"flac", "FLAC", SF_FORMAT_FLAC, SF_FORMAT_PCM_24, false},
    {"ogg oga", "OGG", SF_FORMAT_OGG, SF_FORMAT_VORBIS, true},
    {"opus", "OGG", SF_FORMAT_OGG, SF_FORMAT_OPUS, true},
    {"aiff aif aifc", "AIFF", SF_FORMAT_AIFF, SF_FORMAT_FLOAT, false},
    {"caf", "CAF", SF_FORMAT_CAF, SF_FORMAT_FLOAT, false},
    {"w64", "Wave64", SF_FORMAT_W64, SF_FORMAT_FLOAT, false},
    {"au snd", "AU", SF_FORMAT_AU, SF_FORMAT_FLOAT, false},
};

struct SampleFormat {
  const char* name;
  const char* text;
  int subtype;
};

constexpr SampleFormat kSampleFormats[] = {
    {"16", "16-bit", SF_FORMAT_PCM_16},
    {"24", "24-bit", SF_FORMAT_PCM_24},
    {"32", "32-bit", SF_FORMAT_PCM_32},
    {"float", "32-bit float", SF_FORMAT_FLOAT},
};

std::string Lowercase(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

const Container* FindContainer(const std::string& name) {
  for (const Container& container : kContainers) {
    std::istringstream names(container.names);
    for (std::string candidate; names >> candidate;) {
      if (candidate == Lowercase(name)) return &container;
    }
  }
  return nullptr;
}

std::string ContainerNames() {
  std::string list;
  for (const Container& container : kContainers) {
    if (!list.empty()) list += ", ";
    list += std::string(container.names).substr(0, std::string(container.names).find(' '));
  }
  return list;
}

// Whether libsndfile writes this combination (checked for stereo at 48 kHz).
bool Writable(int format) {
  SF_INFO info = {};
  info.samplerate = 48000;
  info.channels = 2;
  info.format = format;
  return sf_format_check(&info) != 0;
}

std::string Extension(const std::string& path) {
  const std::string base = path.substr(path.rfind('/') + 1);
  const size_t dot = base.rfind('.');
  return dot == std::string::npos || dot == 0 ? "" : base.substr(dot + 1);
}
}  // namespace

bool ChooseOutputFormat(const std::string& path, const std::string& type, const std::string& sampleFormat,
                        OutputFormat& format, std::string& error) {
  format = OutputFormat();
  const std::string name = !type.empty() ? type : path == "-" ? "wav" : Extension(path);
  const Container* container = FindContainer(name.empty() ? "wav" : name);
  if (!container) {
    error = type.empty() ? "cannot tell the output format from the extension \"." + name +
                               "\"; give --type (" + ContainerNames() + ")"
                         : "unknown output type \"" + type + "\"; give one of " + ContainerNames();
    return false;
  }
  format.container = container->title;
  if (container->lossy) {
    if (!sampleFormat.empty()) {
      error = format.container + " is a lossy format and takes no --sample-format";
      return false;
    }
    format.format = container->major | container->defaultSubtype;
    format.sampleText = container->defaultSubtype == SF_FORMAT_OPUS ? "Opus" : "Vorbis";
    format.integer = false;
    return true;
  }
  std::vector<std::string> accepted;
  for (const SampleFormat& sample : kSampleFormats) {
    const int candidate = container->major | sample.subtype;
    if (!Writable(candidate)) continue;
    accepted.push_back(sample.name);
    const bool chosen = sampleFormat.empty() ? sample.subtype == container->defaultSubtype
                                             : Lowercase(sampleFormat) == sample.name;
    if (chosen) {
      format.format = candidate;
      format.sampleText = sample.text;
      format.integer = sample.subtype != SF_FORMAT_FLOAT;
    }
  }
  if (format.format == 0) {
    std::string list;
    for (size_t i = 0; i < accepted.size(); ++i) {
      list += (i == 0 ? "" : i + 1 == accepted.size() ? " or " : ", ") + accepted[i];
    }
    error = format.container + " takes --sample-format " + list + ", not \"" + sampleFormat + "\"";
    return false;
  }
  return true;
}

}  // namespace torvane
