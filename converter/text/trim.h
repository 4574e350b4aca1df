// What a value loses at either end: blanks, tabs and full-width spaces (U+3000, 0x81 0x40 in code
// page 932). Blanks and tabs are never second bytes and come off the end directly; a final
// 0x81 0x40 may be the end of another character, which only a walk from the start tells.
#pragma once

#include <cstddef>
#include <string_view>

#include "cp932_chars.h"

namespace tamarack {

inline bool IsBlankOrTab(char c) { return c == ' ' || c == '\t'; }

// A full-width space at p in code page 932; p[1] must be readable.
inline bool IsFullWidthSpace(const char* p) { return p[0] == '\x81' && p[1] == '\x40'; }

// A full-width space at p in UTF-8 (E3 80 80), for a value not yet converted; p[1] and p[2] must
// be readable.
inline bool IsFullWidthSpaceUtf8(const char* p) {
  return p[0] == '\xE3' && p[1] == '\x80' && p[2] == '\x80';
}

// Position of the first byte of s at or after from that is neither a blank nor a tab.
inline size_t SkipBlanks(std::string_view s, size_t from) {
  while (from < s.size() && IsBlankOrTab(s[from])) ++from;
  return from;
}

// The size of s without its final blanks and tabs, but not less than from.
inline size_t EndWithoutBlanks(std::string_view s, size_t from) {
  size_t end = s.size();
  while (end > from && IsBlankOrTab(s[end - 1])) --end;
  return end;
}

// Position of the first character of s at or after from (the start of a character) that is no
// space of either width, or s.size().
inline size_t SkipSpaces(std::string_view s, size_t from) {
  while (from < s.size()) {
    if (IsBlankOrTab(s[from])) {
      ++from;
    } else if (from + 1 < s.size() && IsFullWidthSpace(s.data() + from)) {
      from += 2;
    } else {
      break;
    }
  }
  return from;
}

// Where the last character of s that is no space starts, walking whole characters from `from`,
// which must start one that is no space (as SkipSpaces leaves it).
size_t LastNonSpace(std::string_view s, size_t from);

// Trim's work when an end of s may hold a space.
std::string_view TrimSpaces(std::string_view s);

// s without its spaces at either end. Most texts have none, as a look at both ends tells.
inline std::string_view Trim(std::string_view s) {
  if (s.empty()) return s;
  const char first = s.front();
  const char last = s.back();
  if (!IsBlankOrTab(first) && first != '\x81' && !IsBlankOrTab(last) && last != '\x40') return s;
  return TrimSpaces(s);
}

// Where the text of a piece lies once trimmed, and what its characters are.
struct Shape {
  size_t begin = 0;
  size_t end = 0;
  bool clean = true;  // no broken character (see CharKind)
  bool startsDouble = false;
  bool endsDouble = false;
};

// The shape of s, in one walk. limit: where the memory readable after s ends (see scan.h).
Shape ShapeOf(std::string_view s, const char* limit);

}  // namespace tamarack
