#include "cp932_chars.h"

#include "scan.h"

namespace tamarack {

size_t WholeCp932Chars(std::string_view s, size_t limit) {
  if (s.size() <= limit) return s.size();
  size_t end = 0;
  while (end < limit) {
    const size_t length = CharLength(s, end);
    if (end + length > limit) break;
    end += length;
  }
  return end;
}

size_t FindChar(std::string_view s, char c, size_t from) {
  // Bytes below 0x40 are never the second byte of a double-byte character.
  if (static_cast<unsigned char>(c) < 0x40) return FindByte(s, c, from);
  for (size_t i = from; i < s.size();) {
    const size_t length = CharLength(s, i);
    if (length == 1 && s[i] == c) return i;
    i += length;
  }
  return std::string_view::npos;
}

}  // namespace tamarack
