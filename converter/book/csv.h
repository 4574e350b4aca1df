// CSV rows as RFC 4180 describes them, with CRLF line ends.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tamarack {

// Rows of a CSV text, gathered in one buffer until the caller has taken them. A field is
// quoted, with its quotes doubled, when it holds a comma, a double quote, CR or LF; it stands as
// it is otherwise. None of these bytes can be the second byte of a double-byte character, so
// the test needs no character walk.
class CsvRows {
 public:
  void Append(const std::string_view* fields, size_t count);
  std::string_view Text() const { return std::string_view(buffer_.data(), size_); }
  void Clear() { size_ = 0; }

 private:
  char* WriteField(char* out, std::string_view field);

  // Grows to hold the longest row's worst case beyond the rows gathered.
  std::string buffer_;
  size_t size_ = 0;
};

}  // namespace tamarack
