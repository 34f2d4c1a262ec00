#pragma once

#include <string>

namespace torvane {

// A file the renderer writes, opened before the work starts so that a bad
// path fails at once. A regular file (new, or reached through symbolic links)
// is written under a temporary name beside it and takes its place only on
// Commit, keeping the old file's mode; anything else (a device, a named pipe,
// "-" for standard output) is written directly. Without Commit the temporary
// file is removed. Owned by main, used on the main thread.
class OutputFile {
 public:
  OutputFile() = default;
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  bool Open(const std::string& path, std::string& error);
  int Descriptor() const { return fd_; }
  // Written strictly from start to end: standard output, pipes, terminals.
  bool Streaming() const { return streaming_; }
  const std::string& Name() const { return name_; }
  bool Write(const void* data, size_t size, std::string& error);
  bool Commit(std::string& error);

 private:
  void Discard();
  bool Fail(const std::string& why, std::string& error);

  std::string name_;       // as the user gave it, for messages
  std::string target_;     // the file finally written, symbolic links followed
  std::string temporary_;  // empty when writing directly
  int fd_ = -1;
  bool ownsDescriptor_ = false;
  bool streaming_ = false;
};

// Whether two paths name the same file: the same device and inode when both
// exist, otherwise the same absolute path after following symbolic links.
// "-" (a standard stream) is no file.
bool SameFile(const std::string& a, const std::string& b);

}  // namespace torvane
