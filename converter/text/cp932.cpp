#include "cp932.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <iterator>

#include "cp932_chars.h"
#include "scan.h"
#include "utf8.h"

namespace tamarack {
namespace {

#include "cp932_table.inc"

constexpr unsigned kFirstTrail = 0x40;

size_t LeadIndex(unsigned char lead) { return lead <= 0x9F ? lead - 0x81u : lead - 0xE0u + 31; }

// The code page 932 code of every character of the Basic Multilingual Plane, 0 for none (and
// for U+0000, which the ASCII path handles). Inverts kDoubleByte without the codes that are
// only read, and adds the half-width katakana and the JIS forms.
struct CodeTable {
  std::array<uint16_t, 0x10000> codes{};
  CodeTable() {
    for (unsigned c = 1; c < 0x80; ++c) codes[c] = static_cast<uint16_t>(c);
    for (unsigned c = 0xA1; c <= 0xDF; ++c) codes[0xFF61 + c - 0xA1] = static_cast<uint16_t>(c);
    for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
      if (!IsLeadByte(static_cast<unsigned char>(lead))) continue;
      for (unsigned trail = kFirstTrail; trail <= 0xFC; ++trail) {
        const uint16_t c =
            kDoubleByte[LeadIndex(static_cast<unsigned char>(lead))][trail - kFirstTrail];
        const uint16_t code = static_cast<uint16_t>(lead << 8 | trail);
        if (c != 0 &&
            !std::binary_search(std::begin(kReadOnlyCodes), std::end(kReadOnlyCodes), code)) {
          codes[c] = code;
        }
      }
    }
    for (const auto& variant : kJisVariants) codes[variant[0]] = variant[1];
  }
};
const CodeTable kCodes;

// Length of the run of ASCII bytes at s[i].
size_t AsciiRun(std::string_view s, size_t i) {
  size_t end = i;
  while (end < s.size() && static_cast<unsigned char>(s[end]) < 0x80) ++end;
  return end - i;
}

// The code page 932 code of c, 0 when it has none (and for U+0000).
uint16_t CodeOf(char32_t c) { return c < 0x10000 ? kCodes.codes[c] : 0; }

}  // namespace

char* Utf8ToCp932(std::string_view utf8, char* out, Replaced& replaced) {
  const char* const p = utf8.data();
  const size_t n = utf8.size();
  for (size_t i = 0; i < n;) {
    if (static_cast<unsigned char>(p[i]) < 0x80) {
      // One byte between others, as a blank between names; or a run of ASCII, found sixteen
      // bytes at a time.
      if (i + 1 == n || static_cast<unsigned char>(p[i + 1]) >= 0x80) {
        *out++ = p[i++];
        continue;
      }
      const size_t end = FindNonAscii(utf8, i, p + n);
      std::memcpy(out, p + i, end - i);
      out += end - i;
      i = end;
      continue;
    }
    // Runs of common three-byte characters that the table has: most Japanese text.
    while (n - i >= 4) {
      const uint32_t bytes = SequenceBytes(p + i, n - i);
      if (!IsCommonThreeByte(bytes)) break;
      const uint16_t code = kCodes.codes[CommonThreeByteValue(bytes)];
      if (code <= 0xFF) break;
      out[0] = static_cast<char>(code >> 8);
      out[1] = static_cast<char>(code & 0xFF);
      out += 2;
      i += 3;
    }
    if (i == n || static_cast<unsigned char>(p[i]) < 0x80) continue;
    const uint32_t bytes = SequenceBytes(p + i, n - i);
    char32_t c = 0;
    if (IsCommonThreeByte(bytes)) {
      c = CommonThreeByteValue(bytes);
      i += 3;
    } else {
      i += DecodeUtf8(utf8, i, c);
    }
    const uint16_t code = c < 0x80 ? static_cast<uint16_t>(c) : CodeOf(c);
    if (code > 0xFF) {
      out[0] = static_cast<char>(code >> 8);
      out[1] = static_cast<char>(code & 0xFF);
      out += 2;
    } else if (code != 0 || c == 0) {
      *out++ = static_cast<char>(code);
    } else {
      if (c == kInvalidSequence || c == kCutSequence) {
        replaced.invalid = true;
      } else {
        replaced.unmappable = true;
      }
      *out++ = '?';
    }
  }
  return out;
}

Replaced Utf8ToCp932(std::string_view utf8, std::string& cp932) {
  cp932.resize(utf8.size());
  Replaced replaced;
  cp932.resize(static_cast<size_t>(Utf8ToCp932(utf8, &cp932[0], replaced) - cp932.data()));
  return replaced;
}

bool IsDoubleByteChar(char32_t c) { return CodeOf(c) > 0xFF; }

void AppendCp932AsUtf8(std::string_view cp932, std::string& utf8) {
  for (size_t i = 0; i < cp932.size();) {
    const size_t ascii = AsciiRun(cp932, i);
    utf8.append(cp932.data() + i, ascii);
    i += ascii;
    if (i == cp932.size()) break;
    const unsigned char byte = static_cast<unsigned char>(cp932[i]);
    char32_t c = '?';
    if (CharLength(cp932, i) == 2) {
      const unsigned char trail = static_cast<unsigned char>(cp932[i + 1]);
      c = kDoubleByte[LeadIndex(byte)][trail - kFirstTrail];
      if (c == 0) c = '?';
      i += 2;
    } else {
      if (byte >= 0xA1 && byte <= 0xDF) c = 0xFF61 + byte - 0xA1;
      ++i;
    }
    AppendUtf8(c, utf8);
  }
}

}  // namespace tamarack
