// The characters of code page 932 (Shift-JIS) text, byte by byte. A double-byte character is a
// lead byte followed by a valid trail byte; any other byte stands alone. The trail range includes
// ASCII letters, '@', '\' and '|', so a search for such a byte must walk whole characters.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "byte_order.h"

namespace tamarack {

constexpr bool IsLeadByte(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

constexpr bool IsTrailByte(unsigned char c) { return c >= 0x40 && c <= 0xFC && c != 0x7F; }

// What the character is that starts with a given byte, followed by a given byte. A character is
// clean unless broken: a NUL byte, or a lead byte without a valid trail byte, which a value
// cannot keep. Each kind's value is also the bits that the character's bytes take in a mask of
// bytes: one for a single byte, two for a pair.
enum CharKind : uint8_t { kBroken = 0, kSingle = 1, kDouble = 3 };

// The kind for every pair of bytes, indexed by the two bytes as one number, the first byte
// lowest: one lookup decides what would otherwise take three.
struct CharKindTable {
  std::array<CharKind, 0x10000> kinds{};
  constexpr CharKindTable() {
    for (unsigned first = 1; first < 0x100; ++first) {  // a NUL byte first stays broken
      for (unsigned second = 0; second < 0x100; ++second) {
        kinds[second << 8 | first] = !IsLeadByte(static_cast<unsigned char>(first))    ? kSingle
                                     : IsTrailByte(static_cast<unsigned char>(second)) ? kDouble
                                                                                       : kBroken;
      }
    }
  }
};
inline constexpr CharKindTable kCharKinds;

// The kind of the character at p, told by p[0] and p[1], which must be readable. For the last
// byte of a text, p[1] must be a byte that is no trail byte (a line end, a blank).
inline CharKind CharKindAt(const char* p) { return kCharKinds.kinds[LoadLittle<uint16_t>(p)]; }

// The kind of the character at s[i], within s.
inline CharKind CharKindOf(std::string_view s, size_t i) {
  const unsigned first = static_cast<unsigned char>(s[i]);
  const unsigned second = i + 1 < s.size() ? static_cast<unsigned char>(s[i + 1]) : 0;
  return kCharKinds.kinds[second << 8 | first];
}

// Length of the character that starts at s[i]: 2 for a valid double-byte pair, otherwise 1.
inline size_t CharLength(std::string_view s, size_t i) {
  return CharKindOf(s, i) == kDouble ? 2 : 1;
}

// Length of the longest prefix of s, at most limit bytes, that ends on a character boundary.
// s must hold the byte after the limit when it is longer, so that a straddling character is seen.
size_t WholeCp932Chars(std::string_view s, size_t limit);

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

}  // namespace tamarack
