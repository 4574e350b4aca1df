// The POSIX calls as the converter makes them: again when a signal interrupts them, and whole.
#pragma once

#include <sys/types.h>

#include <cerrno>
#include <cstddef>
#include <string>

#include "system_file.h"

namespace tamarack {

// Calls io, a read or a write that returns its count or -1 with errno, again while a signal
// interrupts it (EINTR). Returns its last result.
template <typename Io>
ssize_t Retrying(Io io) {
  ssize_t n;
  do {
    n = io();
  } while (n < 0 && errno == EINTR);
  return n;
}

// Writes all size bytes to fd; 0, or the reason it could not.
SystemError WriteAll(int fd, const char* data, size_t size);

// A file without a name in folder (O_TMPFILE), with flags beside O_TMPFILE and O_CLOEXEC: no
// other process can see it, and it goes with this one however it ends (a kill, a crash). -1 with
// errno where the system or the file system has none.
int OpenUnnamed(const std::string& folder, int flags, mode_t mode);

}  // namespace tamarack
