// UTF-8 sequences one at a time, for the converter's own decoding and for telling whether a
// file is UTF-8.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "byte_order.h"

namespace tamarack {

// What DecodeUtf8 gives for bytes that are no character.
constexpr char32_t kInvalidSequence = 0xFFFFFFFF;
constexpr char32_t kCutSequence = 0xFFFFFFFE;  // the text ends inside a sequence valid so far

// Decodes the sequence at s[i] into c and returns its length. Overlong forms, surrogates and
// values beyond U+10FFFF are invalid. An invalid sequence covers its lead byte and the
// continuation bytes that follow it (up to its length), so that one '?' can stand for it.
inline size_t DecodeUtf8(std::string_view s, size_t i, char32_t& c) {
  const unsigned char lead = static_cast<unsigned char>(s[i]);
  if (lead < 0x80) {
    c = lead;
    return 1;
  }
  // Japanese text is mostly three-byte sequences: those go first.
  if (lead >= 0xE0 && lead <= 0xEF && i + 2 < s.size()) {
    const unsigned char second = static_cast<unsigned char>(s[i + 1]);
    const unsigned char third = static_cast<unsigned char>(s[i + 2]);
    if ((second & 0xC0) == 0x80 && (third & 0xC0) == 0x80) {
      const char32_t value = (lead & 0x0Fu) << 12 | (second & 0x3Fu) << 6 | (third & 0x3Fu);
      c = value >= 0x800 && (value < 0xD800 || value > 0xDFFF) ? value : kInvalidSequence;
      return 3;
    }
  }
  size_t length = 0;
  char32_t value = 0;
  char32_t least = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    value = lead & 0x1F;
    least = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    value = lead & 0x0F;
    least = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    value = lead & 0x07;
    least = 0x10000;
  } else {
    c = kInvalidSequence;
    return 1;
  }
  size_t n = 1;
  for (; n < length && i + n < s.size(); ++n) {
    const unsigned char next = static_cast<unsigned char>(s[i + n]);
    if ((next & 0xC0) != 0x80) {
      c = kInvalidSequence;
      return n;
    }
    value = value << 6 | (next & 0x3F);
  }
  if (n < length) {
    c = kCutSequence;
    return n;
  }
  const bool valid = value >= least && value <= 0x10FFFF && (value < 0xD800 || value > 0xDFFF);
  c = valid ? value : kInvalidSequence;
  return length;
}

// Length of the longest prefix of s, at most limit bytes, that ends between two sequences: a cut
// goes back over continuation bytes. s must hold the byte after the limit when it is longer, so
// that a straddling sequence is seen.
inline size_t WholeUtf8Chars(std::string_view s, size_t limit) {
  if (s.size() <= limit) return s.size();
  size_t end = limit;
  while (end > 0 && (static_cast<unsigned char>(s[end]) & 0xC0) == 0x80) --end;
  return end;
}

// The first bytes of a sequence at p, of which `available` are readable, as the bits of a
// number from the lowest up; missing bytes are 0.
inline uint32_t SequenceBytes(const char* p, size_t available) {
  if (available >= 4) return LoadLittle<uint32_t>(p);
  uint32_t bytes = 0;
  for (size_t i = 0; i < available; ++i)
    bytes |= uint32_t{static_cast<unsigned char>(p[i])} << 8 * i;
  return bytes;
}

// True for a three-byte sequence (bytes as SequenceBytes gives them) of the common kind that
// needs no check beyond its form: a lead byte of E1 to EC, EE or EF, and two continuation
// bytes. Otherwise DecodeUtf8 decides. Most Japanese text is such.
inline bool IsCommonThreeByte(uint32_t bytes) {
  // Bit k of 0xDFFE: lead byte E0 + k is common (not E0, whose range starts later, nor ED,
  // which would give surrogates).
  return (bytes & 0xC0C0F0) == 0x8080E0 && ((0xDFFEu >> (bytes & 0x0F)) & 1) != 0;
}

// The character of a common three-byte sequence.
inline char32_t CommonThreeByteValue(uint32_t bytes) {
  return (bytes & 0x0F) << 12 | (bytes >> 2 & 0xFC0) | (bytes >> 16 & 0x3F);
}

// Appends the UTF-8 form of c. A surrogate gets the form it would have as a character, which
// every UTF-8 decoder refuses: a lone surrogate of UTF-16 text stays visible as invalid.
inline void AppendUtf8(char32_t c, std::string& out) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | c >> 6);
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | c >> 12);
    out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | c >> 18);
    out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
    out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace tamarack
