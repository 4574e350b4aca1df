// Cuts the converter's standard-error text into the texts of message boxes.
#pragma once

#include <cstddef>
#include <string>

// Each box holds at most 8191 bytes, shown up to a NUL byte, and never ends in the first byte
// of a double-byte character of code page 932: that byte is held back and opens the next box.
// A first byte still held when no more text can come is dropped: its character never came, and
// a box of its own would show nothing of it.
class ErrorTextPieces {
 public:
  static const size_t kMaxBoxBytes = 8191;

  // How many bytes the next read may take, so that the held byte and the read fit one box.
  size_t Room() const { return kMaxBoxBytes - held_.size(); }
  // Adds bytes just read and returns the text of the box to show; empty when nothing whole is
  // ready yet.
  std::string Add(const char* bytes, size_t count);

 private:
  std::string held_;
};

// The length of the longest start of text that ends on a character boundary. Scans from the
// start: a trail byte can have the value of a first byte.
size_t WholeCharacterLength(const std::string& text);
