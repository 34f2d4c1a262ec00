#include "tools/render/StateFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace torvane {

namespace {
// The chunk header: the magic reads "tffp" in the file, then the format version.
constexpr char kMagic[4] = {'t', 'f', 'f', 'p'};
constexpr size_t kVersionOffset = 4;
constexpr size_t kCountOffset = 8;
constexpr size_t kValuesOffset = 12;

// Chunk integers and doubles are little-endian whatever the machine.
uint64_t ReadLittleEndian(const std::vector<char>& bytes, size_t offset, size_t width) {
  uint64_t value = 0;
  for (size_t i = width; i-- > 0;) value = value << 8 | static_cast<uint8_t>(bytes[offset + i]);
  return value;
}

int32_t ReadInt32(const std::vector<char>& bytes, size_t offset) {
  return static_cast<int32_t>(static_cast<uint32_t>(ReadLittleEndian(bytes, offset, 4)));
}

bool HasMagic(const std::vector<char>& bytes) {
  return bytes.size() >= kValuesOffset && std::memcmp(bytes.data(), kMagic, sizeof kMagic) == 0;
}

bool ReadAll(int fd, const std::string& name, std::vector<char>& bytes, std::string& error) {
  char buffer[65536];
  for (;;) {
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n == 0) return true;
    if (n < 0) {
      if (errno == EINTR) continue;
      error = "cannot read the state file " + name + ": " + std::strerror(errno);
      return false;
    }
    if (bytes.size() + static_cast<size_t>(n) > kMaxStateBytes) {
      error = "the state file " + name + " is too large to be a plug-in state";
      return false;
    }
    bytes.insert(bytes.end(), buffer, buffer + n);
  }
}
}  // namespace

bool ReadStateFile(const std::string& path, std::vector<char>& bytes, std::string& error) {
  bytes.clear();
  const bool standardInput = path == "-";
  const std::string name = standardInput ? "on standard input" : path;
  const int fd = standardInput ? STDIN_FILENO : open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    error = "cannot read the state file " + name + ": " + std::strerror(errno);
    return false;
  }
  struct stat status = {};
  bool read = false;
  if (fstat(fd, &status) != 0) {
    error = "cannot read the state file " + name + ": " + std::strerror(errno);
  } else if (S_ISDIR(status.st_mode)) {
    error = "the state file " + name + " is a directory";
  } else {
    read = ReadAll(fd, name, bytes, error);
  }
  if (!standardInput) close(fd);
  if (read && bytes.empty()) {
    error = "the state file " + name + " is empty";
    return false;
  }
  return read;
}

bool CheckStateChunk(const std::vector<char>& state, const std::vector<char>& own, int parameterCount,
                     std::string& error) {
  if (!HasMagic(own)) return true;
  if (!HasMagic(state)) {
    error = "it does not begin with the header \"tffp\"";
    return false;
  }
  const int32_t version = ReadInt32(state, kVersionOffset), ownVersion = ReadInt32(own, kVersionOffset);
  if (version != ownVersion) {
    error = "it is of format version " + std::to_string(version) + ", this plug-in writes " +
            std::to_string(ownVersion);
    return false;
  }
  const int32_t count = ReadInt32(state, kCountOffset);
  if (count != parameterCount) {
    error = "it holds " + std::to_string(count) + " parameters, the plug-in has " + std::to_string(parameterCount);
    return false;
  }
  // The plug-in also reads its older layout, without the editor size in front
  // of the values.
  const size_t olderSize = kValuesOffset + static_cast<size_t>(count) * sizeof(double);
  if (state.size() != own.size() && state.size() != olderSize) {
    error = "it is " + std::to_string(state.size()) + " bytes long, a state of this plug-in " +
            std::to_string(own.size());
    return false;
  }
  for (size_t offset = kValuesOffset; offset + sizeof(double) <= state.size(); offset += sizeof(double)) {
    const uint64_t bits = ReadLittleEndian(state, offset, sizeof(double));
    double value = 0.0;
    std::memcpy(&value, &bits, sizeof value);
    if (!std::isfinite(value)) {
      error = "it holds a value that is not a finite number";
      return false;
    }
  }
  return true;
}

}  // namespace torvane
