#include "text.h"

namespace tamarack {

size_t FindChar(std::string_view s, char c, size_t from) {
  for (size_t i = from; i < s.size();) {
    const size_t length = CharLength(s, i);
    if (length == 1 && s[i] == c) return i;
    i += length;
  }
  return std::string_view::npos;
}

std::string_view Trim(std::string_view s) {
  size_t begin = s.size();
  size_t end = 0;
  for (size_t i = 0; i < s.size();) {
    const size_t length = CharLength(s, i);
    if (!IsSpaceChar(s, i, length)) {
      if (begin == s.size()) begin = i;
      end = i + length;
    }
    i += length;
  }
  return begin < end ? s.substr(begin, end - begin) : std::string_view();
}

}  // namespace tamarack
