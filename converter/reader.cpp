#include "reader.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "cp932.h"
#include "text.h"

namespace tamarack {
namespace {

// In lower case, which ItemAtStart compares with.
constexpr std::array<std::string_view, kItemCount> kItemNames = {
    "form",        "fullname",    "lastname",  "firstname", "internetaddress",
    "mailaddress", "companyname", "department"};

struct ByteTable {
  std::array<bool, 256> lineEnd{};
  std::array<bool, 256> nameChar{};
  std::array<bool, 256> lead{};
  std::array<bool, 256> trail{};
  ByteTable() {
    lineEnd['\r'] = lineEnd['\n'] = lineEnd['\f'] = true;
    for (int c = 0; c < 256; ++c) {
      lead[c] = IsLeadByte(static_cast<unsigned char>(c));
      trail[c] = IsTrailByte(static_cast<unsigned char>(c));
    }
    for (int c = '0'; c <= '9'; ++c) nameChar[c] = true;
    for (int c = 'A'; c <= 'Z'; ++c) nameChar[c] = nameChar[c + 32] = true;
    nameChar['_'] = nameChar['$'] = true;
  }
};
const ByteTable kTable;

constexpr uint64_t kOnes = 0x0101010101010101ULL;
constexpr uint64_t kHighBits = 0x8080808080808080ULL;

// The eight bytes at p as one word.
uint64_t Word(const char* p) {
  uint64_t word;
  std::memcpy(&word, p, sizeof word);
  return word;
}

// The item whose name, in any case and followed by ':', starts the line, or -1. Every line of
// a book is looked up: its first letter picks the candidates.
int ItemAtStart(std::string_view line) {
  static constexpr int8_t kNone[] = {-1};
  static constexpr int8_t kF[] = {kForm, kFullName, kFirstName, -1};
  static constexpr int8_t kL[] = {kLastName, -1};
  static constexpr int8_t kI[] = {kInternetAddress, -1};
  static constexpr int8_t kM[] = {kMailAddress, -1};
  static constexpr int8_t kC[] = {kCompanyName, -1};
  static constexpr int8_t kD[] = {kDepartment, -1};
  const int8_t* candidates = kNone;
  switch (line.empty() ? 0 : line[0] | 0x20) {
    case 'f':
      candidates = kF;
      break;
    case 'l':
      candidates = kL;
      break;
    case 'i':
      candidates = kI;
      break;
    case 'm':
      candidates = kM;
      break;
    case 'c':
      candidates = kC;
      break;
    case 'd':
      candidates = kD;
      break;
  }
  for (; *candidates >= 0; ++candidates) {
    const std::string_view name = kItemNames[*candidates];
    const size_t n = name.size();
    if (line.size() <= n || line[n] != ':') continue;
    // Setting bit 5 lowers a capital letter and turns no other byte into a small one. Names of
    // eight letters or more compare as two words, which may overlap.
    if (n < 8) {
      size_t i = 0;
      while (i < n && (line[i] | 0x20) == name[i]) ++i;
      if (i == n) return *candidates;
    } else if ((Word(line.data()) | kOnes * 0x20) == Word(name.data()) &&
               (Word(line.data() + n - 8) | kOnes * 0x20) == Word(name.data() + n - 8)) {
      return *candidates;
    }
  }
  return -1;
}

// Position of the first CR, LF or FF at or after i, or data.size(). Every byte of a book passes
// here: sixteen at a time where the processor has SSE2 (every x86-64 one), else eight at a
// time, since a word without any byte below 0x0E (CR, the highest of the three) holds none.
size_t FindLineEnd(std::string_view data, size_t i) {
#ifdef __SSE2__
  const __m128i cr = _mm_set1_epi8('\r');
  const __m128i lf = _mm_set1_epi8('\n');
  const __m128i ff = _mm_set1_epi8('\f');
  for (; i + 16 <= data.size(); i += 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data.data() + i));
    const __m128i ends =
        _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(bytes, cr), _mm_cmpeq_epi8(bytes, lf)),
                     _mm_cmpeq_epi8(bytes, ff));
    const int mask = _mm_movemask_epi8(ends);
    if (mask != 0) return i + static_cast<size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
  }
#endif
  while (i < data.size()) {
    if (i + 8 <= data.size()) {
      const uint64_t word = Word(data.data() + i);
      if (((word - kOnes * 0x0E) & ~word & kHighBits) == 0) {
        i += 8;
        continue;
      }
    }
    for (const size_t stop = std::min(i + 8, data.size()); i < stop; ++i) {
      if (kTable.lineEnd[static_cast<unsigned char>(data[i])]) return i;
    }
  }
  return data.size();
}

// True when the eight bytes at p are ASCII characters other than NUL. Adding 0x7F to an ASCII
// byte sets its high bit unless the byte is 0, and never carries into the next byte.
bool IsPlainAscii8(const char* p) {
  const uint64_t word = Word(p);
  return (word & kHighBits) == 0 && ((word + ~kHighBits) & kHighBits) == kHighBits;
}

// Only blanks, tabs and full-width spaces; stops at the first other character.
bool IsBlank(std::string_view s) {
  for (size_t i = 0; i < s.size();) {
    const size_t length = CharLength(s, i);
    if (!IsSpaceChar(s, i, length)) return false;
    i += length;
  }
  return true;
}

// Length of the longest prefix of s, at most limit bytes, that ends on a character boundary.
// s must hold the byte after the limit when it is longer, so a straddling character is seen.
size_t BoundaryAtOrBefore(std::string_view s, size_t limit, Encoding encoding) {
  if (s.size() <= limit) return s.size();
  if (encoding == Encoding::kUtf8) {
    size_t end = limit;
    while (end > 0 && (static_cast<unsigned char>(s[end]) & 0xC0) == 0x80) --end;
    return end;
  }
  size_t end = 0;
  while (end < limit) {
    const size_t length = CharLength(s, end);
    if (end + length > limit) break;
    end += length;
  }
  return end;
}

}  // namespace

RecordReader::RecordReader(Encoding encoding, Separation separation, WarningLog& warnings,
                           Sink sink)
    : encoding_(encoding), separation_(separation), warnings_(warnings), sink_(std::move(sink)) {}

void RecordReader::Feed(std::string_view data) {
  size_t i = 0;
  if (afterCr_ && !data.empty()) {
    afterCr_ = false;
    if (data[0] == '\n') i = 1;
  }
  while (i < data.size()) {
    const size_t end = FindLineEnd(data, i);
    if (end == data.size()) {
      AddToPartial(data.substr(i));
      return;
    }
    const std::string_view text = data.substr(i, end - i);
    if (partial_.empty() && !partialCut_) {
      TakeLine(text, false);
    } else {
      AddToPartial(text);
      TakeLine(partial_, partialCut_);
      partial_.clear();
      partialCut_ = false;
    }
    const char terminator = data[end];
    i = end + 1;
    if (terminator == '\f') {
      EndRecord();
      continue;
    }
    ++line_;
    if (terminator == '\r') {
      if (i == data.size()) {
        afterCr_ = true;
      } else if (data[i] == '\n') {
        ++i;
      }
    }
  }
}

void RecordReader::Finish() {
  if (!partial_.empty() || partialCut_) {
    TakeLine(partial_, partialCut_);
    partial_.clear();
    partialCut_ = false;
  }
  EndRecord();
}

// Keeps one byte beyond the limit, so that a cut line can end on a whole character.
void RecordReader::AddToPartial(std::string_view data) {
  const size_t room = kMaxLine + 1 - partial_.size();
  if (data.size() > room) partialCut_ = true;
  partial_.append(data.substr(0, room));
}

void RecordReader::TakeLine(std::string_view line, bool cut) {
  if (cut || line.size() > kMaxLine) {
    line = line.substr(0, BoundaryAtOrBefore(line, kMaxLine, encoding_));
    warnings_.Add(Warning::kLongLine, line_);
  }
  // Most lines start with an item name, which is ASCII in every encoding: only the values of
  // the items kept need converting.
  const bool named = !line.empty() && kTable.nameChar[static_cast<unsigned char>(line[0])];
  if (!named) {
    line = InCp932(line);
    if (IsBlank(line)) {
      current_ = -1;
      if (separation_ == Separation::kBlankLine) EndRecord();
      return;
    }
  }
  if (!hasText_) {
    hasText_ = true;
    record_.line = line_;
  }
  if (!named && (line[0] == ' ' || line[0] == '\t')) {
    if (current_ >= 0) AppendPiece(line);
    return;
  }
  current_ = -1;
  const int item = named ? ItemAtStart(line) : -1;
  // A repeated item keeps its first value; the repetition and its continuations are ignored.
  if (item < 0 || record_.present[item]) return;
  record_.present[item] = true;
  current_ = item;
  endsDouble_ = false;
  AppendPiece(InCp932(line.substr(kItemNames[item].size() + 1)));
}

std::string_view RecordReader::InCp932(std::string_view text) {
  if (encoding_ == Encoding::kCp932) return text;
  const Replaced replaced = Utf8ToCp932(text, converted_);
  if (replaced.unmappable) warnings_.Add(Warning::kUnmappable, line_);
  if (replaced.invalid) warnings_.Add(Warning::kInvalidByte, line_);
  return converted_;
}

// Appends a piece of the current item's value, without its surrounding blanks, tabs and
// full-width spaces. Joins with one blank unless a double-byte character meets the join. NUL
// bytes and lead bytes without a valid trail byte become '?', so the output is always
// well-formed code page 932.
void RecordReader::AppendPiece(std::string_view piece) {
  piece = Trim(piece);
  if (piece.empty()) return;
  const bool startsDouble = CharLength(piece, 0) == 2;
  bool endsDouble = false;
  bool clean = true;
  for (size_t i = 0; i < piece.size();) {
    const unsigned char c = static_cast<unsigned char>(piece[i]);
    if (c < 0x80) {
      endsDouble = false;
      if (i + 8 <= piece.size() && IsPlainAscii8(piece.data() + i)) {
        i += 8;
      } else {
        clean &= c != 0;
        ++i;
      }
      continue;
    }
    endsDouble = kTable.lead[c] && i + 1 < piece.size() &&
                 kTable.trail[static_cast<unsigned char>(piece[i + 1])];
    clean &= endsDouble || !kTable.lead[c];
    i += endsDouble ? 2 : 1;
  }

  std::string& value = record_.values[current_];
  if (!value.empty() && !endsDouble_ && !startsDouble) {
    if (value.size() == kMaxValue) {
      warnings_.Add(Warning::kLongLine, line_);
      return;
    }
    value += ' ';
  }
  if (clean && value.size() + piece.size() <= kMaxValue) {
    value.append(piece);
    endsDouble_ = endsDouble;
    return;
  }
  for (size_t i = 0; i < piece.size();) {
    const size_t length = CharLength(piece, i);
    if (value.size() + length > kMaxValue) {
      warnings_.Add(Warning::kLongLine, line_);
      break;
    }
    const unsigned char c = static_cast<unsigned char>(piece[i]);
    if (length == 1 && (c == 0 || IsLeadByte(c))) {
      value += '?';
    } else {
      value.append(piece.data() + i, length);
    }
    endsDouble_ = length == 2;
    i += length;
  }
  if (!clean) warnings_.Add(Warning::kInvalidByte, line_);
}

void RecordReader::EndRecord() {
  if (hasText_) sink_(record_);
  for (std::string& value : record_.values) value.clear();
  record_.present.fill(false);
  hasText_ = false;
  current_ = -1;
}

}  // namespace tamarack
