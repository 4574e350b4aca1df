// The book as a conversion reads it: from its start, as often as the conversion starts again.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "files.h"
#include "scratch.h"

namespace tamarack {

// A file on a disk is read again from its start. An input that cannot go back (a pipe, a FIFO,
// a device) has what it delivers copied into a scratch file, and after a rewind that copy is
// read first, then the input goes on: such a book converts as the same book from a file.
class BookInput {
 public:
  SystemError Open(const std::string& path) { return file_.Open(path); }
  // For an input that cannot go back, creates the scratch file for its copy; 0 for one that can.
  SystemError StartCopy();
  // Reads up to size bytes; 0 at the end of the book or on failure (then error is set, and
  // CopyFailed tells whether the copy failed rather than the input).
  size_t Read(char* buffer, size_t size, SystemError& error);
  bool CopyFailed() const { return copyFailed_; }
  // The folder of the copy, for the messages.
  const std::string& CopyFolder() const { return copy_.Folder(); }
  SystemError Rewind();
  // No rewind follows: what the input delivers from now on is not copied.
  void StopCopy() { copying_ = false; }
  bool IsSameFileAs(const std::string& path) const { return file_.IsSameFileAs(path); }

 private:
  InputFile file_;
  ScratchFile copy_;
  bool copying_ = false;  // the copy holds all the input delivered
  bool copyFailed_ = false;
  uint64_t copied_ = 0;    // the bytes in the copy
  uint64_t position_ = 0;  // of the next byte to hand out, while the copy is read
};

}  // namespace tamarack
