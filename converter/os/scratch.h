// A temporary file for the converter's own use, in the system's folder for temporary files.
// It has no name that another program could open, and the system removes it when it is closed,
// also when the process is killed: nothing is ever left behind.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "files.h"

namespace tamarack {

class ScratchFile {
 public:
  ScratchFile() = default;
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;

  // In $TMPDIR (else /tmp) on POSIX systems, in the folder GetTempPathW names on Windows.
  SystemError Create();
  // The folder that Create used or tried, for the messages: in the form of the arguments.
  const std::string& Folder() const { return folder_; }
  // Adds the bytes at the end.
  SystemError Append(const char* data, size_t size);
  // Reads up to size bytes from offset; 0 at the end or on failure (then error is set).
  size_t ReadAt(uint64_t offset, char* buffer, size_t size, SystemError& error);

 private:
  std::string folder_;
  uint64_t size_ = 0;
  SystemFile file_;
};

}  // namespace tamarack
