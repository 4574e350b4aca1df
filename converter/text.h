// Byte-level helpers for code page 932 (Shift-JIS) text. A double-byte character is a lead
// byte followed by a valid trail byte; any other byte stands alone. The trail range includes
// ASCII letters, '@', '\' and '|', so a search for such a byte must walk whole characters.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tamarack {

inline bool IsLeadByte(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

inline bool IsTrailByte(unsigned char c) { return c >= 0x40 && c <= 0xFC && c != 0x7F; }

// Length of the character that starts at s[i]: 2 for a valid double-byte pair, otherwise 1.
inline size_t CharLength(std::string_view s, size_t i) {
  return IsLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size() &&
                 IsTrailByte(static_cast<unsigned char>(s[i + 1]))
             ? 2
             : 1;
}

// A blank, a tab or the full-width space 0x81 0x40, given the character's length.
inline bool IsSpaceChar(std::string_view s, size_t i, size_t length) {
  if (length == 2) return s[i] == '\x81' && s[i + 1] == '\x40';
  return s[i] == ' ' || s[i] == '\t';
}

inline char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

inline bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

// Position of the first single-byte character c in s at or after from, or npos.
size_t FindChar(std::string_view s, char c, size_t from = 0);

// Trim's work when an end of s may hold a space.
std::string_view TrimSpaces(std::string_view s);

// s without leading and trailing blanks, tabs and full-width spaces. Most texts have none, as a
// look at both ends tells.
inline std::string_view Trim(std::string_view s) {
  if (s.empty()) return s;
  const char first = s.front();
  const char last = s.back();
  if (first != ' ' && first != '\t' && first != '\x81' && last != ' ' && last != '\t' &&
      last != '\x40') {
    return s;
  }
  return TrimSpaces(s);
}

}  // namespace tamarack
