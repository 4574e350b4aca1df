#include <unistd.h>

#include <cerrno>

#include "console.h"

namespace tamarack {

std::string MessageName(const std::string& name) { return name; }

std::string PipeText(const std::string& text) { return text; }

SystemError WriteStandardStream(StandardStream stream, const std::string& text) {
  const int fd = stream == StandardStream::kOutput ? STDOUT_FILENO : STDERR_FILENO;
  // One write() takes the whole text unless a signal or a full pipe interrupts it.
  for (size_t done = 0; done < text.size();) {
    const ssize_t n = write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return n < 0 ? static_cast<SystemError>(errno) : EIO;
    done += static_cast<size_t>(n);
  }
  return 0;
}

}  // namespace tamarack
