#include "io_posix.h"

#include <fcntl.h>
#include <unistd.h>

namespace tamarack {

SystemError WriteAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    const ssize_t n = Retrying([&] { return write(fd, data, size); });
    if (n <= 0) return n < 0 ? static_cast<SystemError>(errno) : EIO;
    data += n;
    size -= static_cast<size_t>(n);
  }
  return 0;
}

int OpenUnnamed(const std::string& folder, int flags, mode_t mode) {
#ifdef O_TMPFILE
  return open(folder.c_str(), O_TMPFILE | O_CLOEXEC | flags, mode);
#else
  static_cast<void>(folder);
  static_cast<void>(flags);
  static_cast<void>(mode);
  errno = EOPNOTSUPP;
  return -1;
#endif
}

}  // namespace tamarack
