#include "trim.h"

#include "scan.h"

namespace tamarack {

size_t LastNonSpace(std::string_view s, size_t from) {
  size_t last = from;
  for (size_t i = from; i < s.size();) {
    const size_t length = CharLength(s, i);
    if (length == 1 ? !IsBlankOrTab(s[i]) : !IsFullWidthSpace(s.data() + i)) last = i;
    i += length;
  }
  return last;
}

std::string_view TrimSpaces(std::string_view s) {
  const size_t begin = SkipSpaces(s, 0);
  s = s.substr(0, EndWithoutBlanks(s, begin));
  if (s.size() - begin >= 2 && IsFullWidthSpace(s.data() + s.size() - 2)) {
    const size_t last = LastNonSpace(s, begin);
    s = s.substr(0, last + CharLength(s, last));
  }
  return s.substr(begin);
}

// Runs of ASCII other than NUL are passed sixteen bytes at a time; only the other bytes are
// taken a character at a time.
Shape ShapeOf(std::string_view s, const char* limit) {
  Shape shape;
  s = s.substr(0, EndWithoutBlanks(s, 0));
  size_t i = SkipSpaces(s, 0);
  shape.begin = shape.end = i;
  if (i == s.size()) return shape;
  shape.startsDouble = CharLength(s, i) == 2;
  i = FindNulOrNonAscii(s, i, limit);
  size_t last = 0;  // the start of the last character, when that is a double-byte one
  bool lastDouble = false;
  while (i < s.size()) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
      lastDouble = false;
      if (c == 0) {
        shape.clean = false;
        ++i;
      } else if (i + 1 < s.size() && static_cast<unsigned char>(s[i + 1]) >= 0x80) {
        ++i;  // one blank between words
      } else {
        i = FindNulOrNonAscii(s, i + 1, limit);
      }
      continue;
    }
    const CharKind kind = CharKindOf(s, i);
    lastDouble = kind == kDouble;
    if (lastDouble) {
      last = i;
      i += 2;
    } else {
      shape.clean &= kind != kBroken;
      ++i;
    }
  }
  shape.end = s.size();
  shape.endsDouble = lastDouble;
  if (lastDouble && IsFullWidthSpace(s.data() + last)) {
    last = LastNonSpace(s, shape.begin);
    shape.end = last + CharLength(s, last);
    shape.endsDouble = shape.end - last == 2;
  }
  return shape;
}

}  // namespace tamarack
