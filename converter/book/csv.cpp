#include "csv.h"

#include <algorithm>

#include "scan.h"

namespace tamarack {
namespace {

// 0xFF where a byte is ',', '"', CR or LF.
Bytes16 Special(Bytes16 bytes) {
  return Or(Or(Equal(bytes, Splat(',')), Equal(bytes, Splat('"'))),
            Or(Equal(bytes, Splat('\r')), Equal(bytes, Splat('\n'))));
}

// Copies the field to out and tells whether it holds a byte that needs quotes, sixteen bytes at
// a time: the last sixteen (or eight) overlap those before, so nothing is read outside the
// field or written outside its room. Fields are mostly short: no call to memcpy.
bool CopyAndFindSpecial(std::string_view field, char* out) {
  const char* const p = field.data();
  const size_t n = field.size();
  Bytes16 found = Zero16();
  if (n >= 16) {
    size_t i = 0;
    for (; i + 16 <= n; i += 16) {
      const Bytes16 bytes = Load16(p + i);
      found = Or(found, Special(bytes));
      Store16(out + i, bytes);
    }
    if (i < n) {
      const Bytes16 bytes = Load16(p + n - 16);
      found = Or(found, Special(bytes));
      Store16(out + n - 16, bytes);
    }
  } else if (n >= 8) {
    const Bytes16 head = Load8(p);
    const Bytes16 tail = Load8(p + n - 8);
    found = Special(JoinLow(head, tail));
    Store8(out, head);
    Store8(out + n - 8, tail);
  } else {
    bool special = false;
    for (size_t i = 0; i < n; ++i) {
      out[i] = p[i];
      special |= p[i] == ',' || p[i] == '"' || p[i] == '\r' || p[i] == '\n';
    }
    return special;
  }
  return HighBits(found) != 0;
}

}  // namespace

void CsvRows::Append(const std::string_view* fields, size_t count) {
  // Each field at most doubled and quoted, a separator after it; CR LF.
  size_t room = 2;
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
  if (!CopyAndFindSpecial(field, out)) return out + field.size();
  *out++ = '"';
  for (const char c : field) {
    if (c == '"') *out++ = '"';
    *out++ = c;
  }
  *out++ = '"';
  return out;
}

}  // namespace tamarack
