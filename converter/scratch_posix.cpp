#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "scratch.h"
#include "signals_posix.h"

namespace tamarack {
namespace {

std::string TemporaryFolder() {
  const char* folder = std::getenv("TMPDIR");
  return folder != nullptr && folder[0] != '\0' ? folder : "/tmp";
}

// A file that is created and at once unlinked, for file systems without O_TMPFILE. The ending
// signals wait meanwhile, so that Ctrl+C cannot leave it behind.
int CreateUnlinked(const std::string& folder) {
  std::string pattern = folder + "/.tamarack-XXXXXX";
  BlockSignals block;
  const int fd = mkostemp(&pattern[0], O_CLOEXEC);
  const int error = errno;
  if (fd >= 0) unlink(pattern.c_str());
  errno = error;
  return fd;
}

}  // namespace

ScratchFile::~ScratchFile() {
  if (fd_ >= 0) close(fd_);
}

SystemError ScratchFile::Create() {
  folder_ = TemporaryFolder();
#ifdef O_TMPFILE
  fd_ = open(folder_.c_str(), O_TMPFILE | O_RDWR | O_EXCL | O_CLOEXEC, 0600);
  if (fd_ >= 0) return 0;
#endif
  fd_ = CreateUnlinked(folder_);
  return fd_ < 0 ? errno : 0;
}

SystemError ScratchFile::Append(const char* data, size_t size) {
  while (size > 0) {
    const ssize_t n = pwrite(fd_, data, size, static_cast<off_t>(size_));
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    data += n;
    size -= static_cast<size_t>(n);
    size_ += static_cast<uint64_t>(n);
  }
  return 0;
}

size_t ScratchFile::ReadAt(uint64_t offset, char* buffer, size_t size, SystemError& error) {
  error = 0;
  while (true) {
    const ssize_t n = pread(fd_, buffer, size, static_cast<off_t>(offset));
    if (n >= 0) return static_cast<size_t>(n);
    if (errno != EINTR) {
      error = errno;
      return 0;
    }
  }
}

}  // namespace tamarack
