// What the files of the shared interface are on POSIX systems.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <string>

namespace tamarack {

// errno's code. 0 is success.
using SystemError = unsigned long;

// Owns one file descriptor and closes it when it goes out of scope.
class SystemFile {
 public:
  SystemFile() = default;
  ~SystemFile() { Reset(); }
  SystemFile(const SystemFile&) = delete;
  SystemFile& operator=(const SystemFile&) = delete;

  int Get() const { return fd_; }
  bool Valid() const { return fd_ >= 0; }
  // Closes the descriptor held, if any, and holds fd instead.
  void Reset(int fd = -1) {
    if (fd_ >= 0) close(fd_);
    fd_ = fd;
  }

 private:
  int fd_ = -1;
};

// What an output keeps between its calls.
struct OutputState {
  std::string path;
  std::string stem;       // the temporary file's name up to its number: this output's
  std::string temporary;  // the temporary file's name while it has one
  SystemFile file;
  uint64_t written = 0;
  uint64_t started = 0;  // the data before this offset is being written to disk
};

}  // namespace tamarack
