#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "io_posix.h"
#include "scratch.h"
#include "signals.h"

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

SystemError ScratchFile::Create() {
  folder_ = TemporaryFolder();
  file_.Reset(OpenUnnamed(folder_, O_RDWR | O_EXCL, 0600));
  if (!file_.Valid()) file_.Reset(CreateUnlinked(folder_));
  return file_.Valid() ? 0 : errno;
}

SystemError ScratchFile::Append(const char* data, size_t size) {
  while (size > 0) {
    const ssize_t n =
        Retrying([&] { return pwrite(file_.Get(), data, size, static_cast<off_t>(size_)); });
    if (n <= 0) return n < 0 ? static_cast<SystemError>(errno) : EIO;
    data += n;
    size -= static_cast<size_t>(n);
    size_ += static_cast<uint64_t>(n);
  }
  return 0;
}

size_t ScratchFile::ReadAt(uint64_t offset, char* buffer, size_t size, SystemError& error) {
  const ssize_t n =
      Retrying([&] { return pread(file_.Get(), buffer, size, static_cast<off_t>(offset)); });
  error = n < 0 ? errno : 0;
  return n < 0 ? 0 : static_cast<size_t>(n);
}

}  // namespace tamarack
