#include "csv.h"

#include <algorithm>
#include <cstring>

#include "scan.h"

namespace tamarack {
namespace {

// Position of the first ',', '"', CR or LF in s, or s.size().
size_t FindSpecial(std::string_view s, const char* limit) {
  return FindFirst(
      s, 0, limit,
      [](__m128i bytes) {
        return _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(',')),
                                         _mm_cmpeq_epi8(bytes, _mm_set1_epi8('"'))),
                            _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('\r')),
                                         _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\n'))));
      },
      [](unsigned char c) { return c == ',' || c == '"' || c == '\r' || c == '\n'; });
}

}  // namespace

void CsvRows::Append(const std::string_view* fields, size_t count) {
  // Each field at most doubled and quoted, a separator after it; CR LF; the search's reach.
  size_t room = 2 + 16;
  for (size_t i = 0; i < count; ++i) room += 2 * fields[i].size() + 3;
  if (size_ + room > buffer_.size()) buffer_.resize(std::max(size_ + room, 2 * buffer_.size()));
  char* out = &buffer_[size_];
  for (size_t i = 0; i < count; ++i) {
    if (i > 0) *out++ = ',';
    out = WriteField(out, fields[i]);
  }
  *out++ = '\r';
  *out++ = '\n';
  size_ = static_cast<size_t>(out - buffer_.data());
}

char* CsvRows::WriteField(char* out, std::string_view field) {
  if (field.empty()) return out;
  std::memcpy(out, field.data(), field.size());
  if (FindSpecial(std::string_view(out, field.size()), buffer_.data() + buffer_.size()) ==
      field.size()) {
    return out + field.size();
  }
  *out++ = '"';
  for (const char c : field) {
    if (c == '"') *out++ = '"';
    *out++ = c;
  }
  *out++ = '"';
  return out;
}

}  // namespace tamarack
