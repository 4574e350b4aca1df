#include "reader.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>

#include "cp932.h"
#include "text.h"

namespace tamarack {
namespace {

constexpr std::array<std::string_view, kItemCount> kItemNames = {
    "Form",        "FullName",    "LastName",  "FirstName", "InternetAddress",
    "MailAddress", "CompanyName", "Department"};

struct ByteTable {
  std::array<bool, 256> lineEnd{};
  std::array<bool, 256> nameChar{};
  ByteTable() {
    lineEnd['\r'] = lineEnd['\n'] = lineEnd['\f'] = true;
    for (int c = '0'; c <= '9'; ++c) nameChar[c] = true;
    for (int c = 'A'; c <= 'Z'; ++c) nameChar[c] = nameChar[c + 32] = true;
    nameChar['_'] = nameChar['$'] = true;
  }
};
const ByteTable kTable;

int LookUpItem(std::string_view name) {
  // Every line of a book is looked up: the length picks the one or two candidates.
  static constexpr std::array<std::array<int8_t, 2>, 16> kByLength = {{
      {-1, -1},
      {-1, -1},
      {-1, -1},
      {-1, -1},
      {kForm, -1},
      {-1, -1},
      {-1, -1},
      {-1, -1},
      {kFullName, kLastName},
      {kFirstName, -1},
      {kDepartment, -1},
      {kMailAddress, kCompanyName},
      {-1, -1},
      {-1, -1},
      {-1, -1},
      {kInternetAddress, -1},
  }};
  if (name.size() >= kByLength.size()) return -1;
  for (const int item : kByLength[name.size()]) {
    if (item >= 0 && EqualsIgnoreCase(name, kItemNames[item])) return item;
  }
  return -1;
}

// Position of the first CR, LF or FF at or after i, or data.size(). Eight bytes at a time: a
// word without any byte below 0x0E (CR, the highest of the three) holds none of them.
size_t FindLineEnd(std::string_view data, size_t i) {
  constexpr uint64_t kOnes = 0x0101010101010101ULL;
  constexpr uint64_t kHighBits = 0x8080808080808080ULL;
  while (i < data.size()) {
    if (i + 8 <= data.size()) {
      uint64_t word;
      std::memcpy(&word, data.data() + i, sizeof word);
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
  if (encoding_ == Encoding::kUtf8) {
    const Replaced replaced = Utf8ToCp932(line, converted_);
    if (replaced.unmappable) warnings_.Add(Warning::kUnmappable, line_);
    if (replaced.invalid) warnings_.Add(Warning::kInvalidByte, line_);
    line = converted_;
  }
  if (IsBlank(line)) {
    current_ = -1;
    if (separation_ == Separation::kBlankLine) EndRecord();
    return;
  }
  if (!hasText_) {
    hasText_ = true;
    record_.line = line_;
  }
  if (line[0] == ' ' || line[0] == '\t') {
    if (current_ >= 0) AppendPiece(line);
    return;
  }
  size_t nameEnd = 0;
  while (nameEnd < line.size() && kTable.nameChar[static_cast<unsigned char>(line[nameEnd])]) {
    ++nameEnd;
  }
  current_ = -1;
  if (nameEnd == 0 || nameEnd == line.size() || line[nameEnd] != ':') return;
  const int item = LookUpItem(line.substr(0, nameEnd));
  // A repeated item keeps its first value; the repetition and its continuations are ignored.
  if (item < 0 || record_.present[item]) return;
  record_.present[item] = true;
  current_ = item;
  endsDouble_ = false;
  AppendPiece(line.substr(nameEnd + 1));
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
      clean = clean && c != 0;
      endsDouble = false;
      ++i;
      continue;
    }
    const size_t length = CharLength(piece, i);
    clean = clean && (length == 2 || !IsLeadByte(c));
    endsDouble = length == 2;
    i += length;
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
