#include "tools/render/OutputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

namespace torvane {

namespace {
// The same limit the system puts on a chain of links.
constexpr int kMaxLinks = 40;

std::string Directory(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// Where a chain of symbolic links ends, existing or not: writing through a
// link writes the file it names.
bool FollowLinks(const std::string& path, std::string& target) {
  target = path;
  for (int hops = 0; hops < kMaxLinks; ++hops) {
    struct stat status = {};
    if (lstat(target.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return true;
    std::vector<char> link(PATH_MAX + 1);
    const ssize_t length = readlink(target.c_str(), link.data(), link.size() - 1);
    if (length < 0) return false;
    const std::string next(link.data(), static_cast<size_t>(length));
    target = next[0] == '/' ? next : Directory(target) + "/" + next;
  }
  errno = ELOOP;
  return false;
}

// The mode a new file gets from open(): everyone may read and write, less the umask.
mode_t NewFileMode() {
  const mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}
}  // namespace

OutputFile::~OutputFile() { Discard(); }

bool OutputFile::Fail(const std::string& why, std::string& error) {
  error = "cannot write " + name_ + ": " + why;
  Discard();
  return false;
}

bool OutputFile::Open(const std::string& path, std::string& error) {
  name_ = path;
  if (path == "-") {
    name_ = "standard output";
    if (isatty(STDOUT_FILENO)) return Fail("it is a terminal; redirect it or give a file name", error);
    fd_ = STDOUT_FILENO;
    streaming_ = true;
    return true;
  }
  struct stat status = {};
  const bool exists = stat(path.c_str(), &status) == 0;
  if (exists && S_ISDIR(status.st_mode)) return Fail("it is a directory", error);
  if (exists && !S_ISREG(status.st_mode)) {
    // Devices and named pipes are written in place: replacing them would be
    // wrong. Opened by the name given, so that /dev/stdout works too.
    fd_ = open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    if (fd_ < 0) return Fail(std::strerror(errno), error);
    ownsDescriptor_ = true;
    streaming_ = lseek(fd_, 0, SEEK_CUR) < 0;
    return true;
  }
  if (!FollowLinks(path, target_)) return Fail(std::strerror(errno), error);
  if (exists && access(target_.c_str(), W_OK) != 0) return Fail(std::strerror(errno), error);
  const std::string base = target_.substr(target_.rfind('/') + 1);
  std::string pattern = Directory(target_) + "/." + base + ".partial-XXXXXX";
  fd_ = mkstemp(pattern.data());
  if (fd_ < 0) return Fail(std::strerror(errno), error);
  ownsDescriptor_ = true;
  temporary_ = pattern;
  // The finished file keeps the mode and owner of the one it replaces.
  if (exists && status.st_uid != geteuid() && fchown(fd_, status.st_uid, status.st_gid) != 0) {
    // Only root may give a file away; for anyone else the new file stays
    // theirs, as any file they create does.
  }
  if (fchmod(fd_, exists ? status.st_mode & 07777 : NewFileMode()) != 0) return Fail(std::strerror(errno), error);
  return true;
}

bool OutputFile::Write(const void* data, size_t size, std::string& error) {
  const char* bytes = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t n = write(fd_, bytes, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return Fail(std::strerror(errno), error);
    bytes += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

bool OutputFile::Commit(std::string& error) {
  if (temporary_.empty()) {
    const bool closed = !ownsDescriptor_ || close(fd_) == 0;
    fd_ = -1;
    return closed || Fail(std::strerror(errno), error);
  }
  // On disk before it replaces anything, so a crash leaves the old file or the new one.
  if (fsync(fd_) != 0) return Fail(std::strerror(errno), error);
  const int fd = fd_;
  fd_ = -1;
  if (close(fd) != 0 || std::rename(temporary_.c_str(), target_.c_str()) != 0) {
    return Fail(std::strerror(errno), error);
  }
  temporary_.clear();
  return true;
}

void OutputFile::Discard() {
  if (fd_ >= 0 && ownsDescriptor_) close(fd_);
  fd_ = -1;
  if (!temporary_.empty()) unlink(temporary_.c_str());
  temporary_.clear();
}

bool SameFile(const std::string& a, const std::string& b) {
  if (a == "-" || b == "-") return false;
  struct stat first = {}, second = {};
  if (stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0) {
    return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
  }
  std::string targetA, targetB;
  if (!FollowLinks(a, targetA) || !FollowLinks(b, targetB)) return false;
  std::error_code ignored;
  return std::filesystem::weakly_canonical(targetA, ignored) == std::filesystem::weakly_canonical(targetB, ignored);
}

}  // namespace torvane
