// The bytes of a book as the reader takes them: code page 932 and UTF-8 as they stand, UTF-16
// decoded to UTF-8, each without its byte order mark.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "text_form.h"

namespace tamarack {

// The encodings a book can have. kNotText is a file that is no text: a binary file, UTF-32.
enum class FileEncoding { kCp932, kUtf8, kUtf16Le, kUtf16Be, kNotText };

class InputDecoder {
 public:
  // markSize: the length of the byte order mark at the start of the file (0 without one).
  InputDecoder(FileEncoding encoding, size_t markSize);

  // The reader's text for the next bytes of the file; valid until the next call.
  std::string_view Decode(std::string_view data);
  // The text of what the file's last bytes left open: an odd byte or a high surrogate alone.
  std::string_view Finish();

  Encoding TextEncoding() const {
    return encoding_ == FileEncoding::kCp932 ? Encoding::kCp932 : Encoding::kUtf8;
  }

 private:
  void TakeUnit(char16_t unit);

  const FileEncoding encoding_;
  size_t skip_;  // what is left of the byte order mark
  std::string text_;
  int oddByte_ = -1;       // the first byte of a UTF-16 unit split between two reads
  char16_t highHalf_ = 0;  // a high surrogate waiting for its low one
};

}  // namespace tamarack
