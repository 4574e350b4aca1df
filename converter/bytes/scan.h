// Byte searches over text, sixteen bytes at a time (bytes16.h). They do not call the C
// library's memchr, which on Windows (msvcrt's, and Wine's in its place) goes byte by byte.
//
// A search may be told that the memory after its text is readable up to a limit (the rest of
// the buffer that the text lies in): it then reads sixteen bytes at a time up to the text's end
// and ignores what lies beyond, instead of gathering the last few bytes one by one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "bytes16.h"

namespace tamarack {

inline size_t LowestBit(uint64_t bits) { return static_cast<size_t>(__builtin_ctzll(bits)); }

// The sixteen bytes at p, of which the first `size` are wanted; those after them are undefined.
// Reads beyond p + size only up to limit.
inline Bytes16 Load16Within(const char* p, size_t size, const char* limit) {
  if (limit - p >= 16) return Load16(p);
  char bytes[16] = {};
  std::memcpy(bytes, p, size < 16 ? size : 16);
  return Load16(bytes);
}

// A mask of the low `size` bits, all sixteen when size is 16 or more.
inline unsigned FirstBits(size_t size) { return size >= 16 ? 0xFFFFu : (1u << size) - 1; }

// Position of the first byte of s at or after from for which match holds, or s.size() (or
// more, when from is). match takes sixteen bytes and gives 0xFF where a byte matches; matchByte
// is the same test for one byte, for a text shorter than sixteen bytes with no readable memory
// after it. limit: see above.
template <typename Match, typename MatchByte>
size_t FindFirst(std::string_view s, size_t from, const char* limit, Match match,
                 MatchByte matchByte) {
  const char* const p = s.data();
  const size_t n = s.size();
  size_t i = from;
  for (; i + 16 <= n; i += 16) {
    const unsigned bits = HighBits(match(Load16(p + i)));
    if (bits != 0) return i + LowestBit(bits);
  }
  if (i >= n) return i;
  const size_t left = n - i;
  unsigned bits = 0;
  if (limit - (p + i) >= 16) {
    bits = HighBits(match(Load16(p + i))) & ((1u << left) - 1);
  } else if (n >= 16) {
    // The last sixteen bytes of the text, of which the first were looked at already.
    bits = HighBits(match(Load16(p + n - 16))) >> (16 - left);
  } else {
    while (i < n && !matchByte(static_cast<unsigned char>(p[i]))) ++i;
    return i;
  }
  return bits != 0 ? i + LowestBit(bits) : n;
}

// Position of the first byte at or after from that is not ASCII (0x80 or above), or s.size().
inline size_t FindNonAscii(std::string_view s, size_t from, const char* limit) {
  return FindFirst(
      s, from, limit, [](Bytes16 bytes) { return bytes; },
      [](unsigned char c) { return c >= 0x80; });
}

// Position of the first NUL or non-ASCII byte at or after from, or s.size().
inline size_t FindNulOrNonAscii(std::string_view s, size_t from, const char* limit) {
  return FindFirst(
      s, from, limit, [](Bytes16 bytes) { return Or(bytes, Equal(bytes, Zero16())); },
      [](unsigned char c) { return c == 0 || c >= 0x80; });
}

// Position of the first byte c at or after from, or std::string_view::npos.
inline size_t FindByte(std::string_view s, char c, size_t from = 0) {
  const Bytes16 wanted = Splat(c);
  const size_t at = FindFirst(
      s, from, s.data() + s.size(), [wanted](Bytes16 bytes) { return Equal(bytes, wanted); },
      [c](unsigned char byte) { return byte == static_cast<unsigned char>(c); });
  return at >= s.size() ? std::string_view::npos : at;
}

// Position of the first byte a or b in s at or after from, or s.size() (or more).
inline size_t FindEither(std::string_view s, char a, char b, size_t from, const char* limit) {
  const Bytes16 first = Splat(a);
  const Bytes16 second = Splat(b);
  return FindFirst(
      s, from, limit,
      [first, second](Bytes16 bytes) { return Or(Equal(bytes, first), Equal(bytes, second)); },
      [a, b](unsigned char byte) {
        return byte == static_cast<unsigned char>(a) || byte == static_cast<unsigned char>(b);
      });
}

// Bit k set where block[k] is not ASCII (0x80 or above), for the 64 bytes at block.
inline uint64_t NonAsciiBits(const char* block) {
  uint64_t bits = 0;
  for (int k = 0; k < 4; ++k) {
    bits |= static_cast<uint64_t>(HighBits(Load16(block + 16 * k))) << (16 * k);
  }
  return bits;
}

// Scans a text 64 bytes at a time for its line ends (CR, LF, FF), noting on the way its bytes
// above 0x7F and those of 0x0D and below (NUL among them): the values of the lines it hands out
// can then be taken without another pass over their bytes.
class LineScanner {
 public:
  explicit LineScanner(std::string_view text) : text_(text) {}

  // Position of the first line end at or after from, or the text's size. Calls must not go
  // back to an earlier block.
  size_t NextLineEnd(size_t from) {
    const size_t block = from & ~size_t{63};
    if (block != base_) Load(block);
    uint64_t bits = controls_ & (~uint64_t{0} << (from & 63));
    while (true) {
      while (bits == 0) {
        if (base_ + 64 >= text_.size()) return text_.size();
        Load(base_ + 64);
        bits = controls_;
      }
      // A control byte: CR (13), LF (10) or FF (12), or one that ends no line.
      const size_t at = base_ + LowestBit(bits);
      if ((0x3400u >> static_cast<unsigned char>(text_[at])) & 1) return at;
      bits &= bits - 1;
    }
  }

  // The bytes of text[from, to) that are not ASCII or 0x0D and below (NUL among them): bit k of
  // marks stands for text[from + k]. False when the range is longer than 64 bytes or does not
  // lie within the last two blocks scanned.
  bool Marks(size_t from, size_t to, uint64_t& marks) const {
    if (to - from > 64 || to > base_ + 64) return false;
    if (from < base_ && !(previousScanned_ && from >= base_ - 64)) return false;
    marks = Window(previous_, marks_, from, to);
    return true;
  }

  // Those of the bytes that are 0x0D and below, for a range that Marks took.
  uint64_t Controls(size_t from, size_t to) const {
    return Window(previousControls_, controls_, from, to);
  }

 private:
  // The bits for text[from, to) of the previous block's and the last block's, from bit 0.
  uint64_t Window(uint64_t previous, uint64_t last, size_t from, size_t to) const {
    uint64_t bits = 0;
    if (from >= base_) {
      bits = last >> (from - base_);
    } else {
      const size_t shift = from - (base_ - 64);
      bits = shift == 0 ? previous : previous >> shift | last << (64 - shift);
    }
    return to - from == 64 ? bits : bits & ((uint64_t{1} << (to - from)) - 1);
  }

  void Load(size_t block) {
    previousScanned_ = block == base_ + 64;
    previous_ = marks_;
    previousControls_ = controls_;
    base_ = block;
    if (block + 64 <= text_.size()) {
      Scan(text_.data() + block);
    } else {
      ScanTail();
    }
  }

  // The last block, shorter than 64 bytes: scanned in a copy, its padding then left out.
  void ScanTail() {
    const size_t size = text_.size() - base_;
    char tail[64] = {};
    std::memcpy(tail, text_.data() + base_, size);
    Scan(tail);
    const uint64_t inside = (uint64_t{1} << size) - 1;
    controls_ &= inside;
    marks_ &= inside;
  }

  // Notes the bytes of 0x0D and below (the line ends among them) and those above 0x7F; the
  // marks take both, as a value's walk passes over blanks and tabs anyway.
  void Scan(const char* block) {
    uint64_t controls = 0;
    uint64_t marks = 0;
    for (int k = 0; k < 4; ++k) {
      const Bytes16 v = Load16(block + 16 * k);
      const Bytes16 control = Equal(MinUnsigned(v, Splat(0x0D)), v);
      controls |= static_cast<uint64_t>(HighBits(control)) << (16 * k);
      marks |= static_cast<uint64_t>(HighBits(Or(v, control))) << (16 * k);
    }
    controls_ = controls;
    marks_ = marks;
  }

  const std::string_view text_;
  size_t base_ = ~size_t{0};       // the block scanned last; no block at first
  uint64_t controls_ = 0;          // its bytes of 0x0D and below
  uint64_t marks_ = 0;             // those and its bytes above 0x7F
  uint64_t previous_ = 0;          // the marks of the block before it,
  uint64_t previousControls_ = 0;  // and its bytes of 0x0D and below,
  bool previousScanned_ = false;   // when that was scanned
};

}  // namespace tamarack
