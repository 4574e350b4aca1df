#include "text.h"

#include "scan.h"

namespace tamarack {

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

std::string_view TrimSpaces(std::string_view s) {
  size_t begin = 0;
  while (begin < s.size()) {
    if (s[begin] == ' ' || s[begin] == '\t') {
      ++begin;
    } else if (s[begin] == '\x81' && begin + 1 < s.size() && s[begin + 1] == '\x40') {
      begin += 2;
    } else {
      break;
    }
  }
  s.remove_prefix(begin);
  // Blanks and tabs are never second bytes and come off the end directly. A final 0x81 0x40
  // may be the end of another character: only a walk from the start can tell.
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  if (s.size() >= 2 && s[s.size() - 2] == '\x81' && s.back() == '\x40') {
    size_t end = 0;
    for (size_t i = 0; i < s.size();) {
      const size_t length = CharLength(s, i);
      if (!IsSpaceChar(s, i, length)) end = i + length;
      i += length;
    }
    s = s.substr(0, end);
  }
  return s;
}

}  // namespace tamarack
