#include "reader.h"

#include <cstdint>
#include <cstring>
#include <utility>

#include "cp932.h"
#include "scan.h"
#include "text.h"
#include "utf8.h"

namespace tamarack {
namespace {

// In lower case, which ItemAtStart compares with.
constexpr std::array<std::string_view, kKeptItemCount> kItemNames = {
    "form",        "fullname",    "lastname",  "firstname", "internetaddress",
    "mailaddress", "companyname", "department"};

struct ByteTable {
  std::array<bool, 256> nameChar{};
  std::array<bool, 256> lead{};
  std::array<bool, 256> trail{};
  ByteTable() {
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

// What the character is that starts with the byte `first` followed by `second`, for every pair
// of bytes: one lookup decides what would otherwise take three. Each value is also the bits
// that the character's bytes take in a mask of bytes: one for a single byte, two for a pair.
enum CharKind : uint8_t { kBroken = 0, kSingle = 1, kDouble = 3 };
struct CharTable {
  std::array<CharKind, 0x10000> kinds{};
  CharTable() {
    for (unsigned first = 1; first < 0x100; ++first) {
      for (unsigned second = 0; second < 0x100; ++second) {
        kinds[second << 8 | first] = !kTable.lead[first]    ? kSingle
                                     : kTable.trail[second] ? kDouble
                                                            : kBroken;
      }
    }
  }
  // Indexed by the two bytes as one number, the first byte lowest: on a little-endian processor
  // (x86, ARM as Linux and Windows run it), one load.
  CharKind At(const char* p) const {
    uint16_t bytes;
    std::memcpy(&bytes, p, sizeof bytes);
#if __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    bytes = __builtin_bswap16(bytes);
#endif
    return kinds[bytes];
  }
};
const CharTable kChars;

// The items by the length of their names (no more than two names share one), and each name in
// sixteen bytes: a name and its colon fit in one load.
struct NameTable {
  std::array<std::array<int8_t, 2>, 16> byLength;
  std::array<std::array<char, 16>, kKeptItemCount> padded{};
  NameTable() {
    for (auto& items : byLength) items = {-1, -1};
    for (size_t item = 0; item < kKeptItemCount; ++item) {
      const std::string_view name = kItemNames[item];
      kItemNames[item].copy(padded[item].data(), name.size());
      int8_t* slot = byLength[name.size()].data();
      slot[slot[0] >= 0] = static_cast<int8_t>(item);
    }
  }
};
const NameTable kNames;

// The item whose name, in any case and followed by ':', starts the line, or -1. Every line of
// a book is looked up: its first colon gives the length of the name, which gives the
// candidates. limit: where the memory readable after the line ends (see scan.h).
[[gnu::always_inline]] inline int ItemAtStart(std::string_view line, const char* limit) {
  const Bytes16 bytes = Load16Within(line.data(), line.size(), limit);
  const unsigned colons = HighBits(Equal(bytes, Splat(':'))) & FirstBits(line.size());
  if (colons == 0) return -1;
  const unsigned length = LowestBit(colons);
  // Setting bit 5 lowers a capital letter and turns no other byte into a small one.
  const Bytes16 lower = Or(bytes, Splat(0x20));
  const unsigned name = (1u << length) - 1;
  for (const int8_t item : kNames.byLength[length]) {
    if (item < 0) break;
    const Bytes16 same = Equal(lower, Load16(kNames.padded[item].data()));
    if ((HighBits(same) & name) == name) return item;
  }
  return -1;
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

// Where the text of a piece lies once its leading and trailing blanks, tabs and full-width
// spaces are trimmed, and what its characters are.
struct Shape {
  size_t begin = 0;
  size_t end = 0;
  bool clean = true;  // no NUL byte, no lead byte without a valid trail byte
  bool startsDouble = false;
  bool endsDouble = false;
};

// One walk over the piece gives the trimmed text and its characters. Runs of ASCII other than
// NUL are passed sixteen bytes at a time; only the other bytes are taken a character at a time.
// Blanks and tabs are never second bytes and come off the end directly; a final full-width
// space needs the walk to tell it from the end of another character.
Shape ShapeOf(std::string_view s, const char* limit) {
  Shape shape;
  size_t end = s.size();
  while (end > 0 && (s[end - 1] == ' ' || s[end - 1] == '\t')) --end;
  size_t i = 0;
  while (i < end) {
    if (s[i] == ' ' || s[i] == '\t') {
      ++i;
    } else if (s[i] == '\x81' && i + 1 < end && s[i + 1] == '\x40') {
      i += 2;
    } else {
      break;
    }
  }
  shape.begin = shape.end = i;
  if (i == end) return shape;
  shape.startsDouble = CharLength(s, i) == 2;
  s = s.substr(0, end);
  i = FindNulOrNonAscii(s, i, limit);
  size_t last = 0;  // the start of the last character, when that is a double-byte one
  bool lastDouble = false;
  while (i < end) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
      lastDouble = false;
      if (c == 0) {
        shape.clean = false;
        ++i;
      } else if (i + 1 < end && static_cast<unsigned char>(s[i + 1]) >= 0x80) {
        ++i;  // one blank between words
      } else {
        i = FindNulOrNonAscii(s, i + 1, limit);
      }
    } else if (kTable.lead[c] && i + 1 < end &&
               kTable.trail[static_cast<unsigned char>(s[i + 1])]) {
      last = i;
      lastDouble = true;
      i += 2;
    } else {
      shape.clean &= !kTable.lead[c];
      lastDouble = false;
      ++i;
    }
  }
  shape.end = end;
  shape.endsDouble = lastDouble;
  if (lastDouble && s[last] == '\x81' && s[last + 1] == '\x40') {
    shape.end = shape.begin;
    for (i = shape.begin; i < end;) {
      const size_t length = CharLength(s, i);
      if (!IsSpaceChar(s, i, length)) {
        shape.end = i + length;
        shape.endsDouble = length == 2;
      }
      i += length;
    }
  }
  return shape;
}

}  // namespace

RecordReader::RecordReader(Encoding encoding, Separation separation, WarningLog& warnings,
                           Sink sink)
    : encoding_(encoding),
      separation_(separation),
      warnings_(warnings),
      sink_(std::move(sink)),
      utf8Values_(encoding == Encoding::kUtf8 ? new char[kKeptItemCount * kMaxLine] : nullptr) {}

// The value of a line in the data being fed, data[from, to), as most values are: whole
// characters of code page 932 without NUL, or ASCII in a UTF-8 book, without full-width spaces
// around it. The scanner's marks show where the bytes that are not ASCII lie, and only those
// are looked at. Returns false for any other value, to leave it to TakeValue. The byte at `to`
// is the line's end or a blank: the line must not have been cut.
[[gnu::always_inline]] inline bool RecordReader::TakeFedValue(size_t from, size_t to) {
  const char* const data = fedData_;
  while (from < to && (data[from] == ' ' || data[from] == '\t')) ++from;
  while (to > from && (data[to - 1] == ' ' || data[to - 1] == '\t')) --to;
  if (from == to) return true;
  uint64_t marks = 0;
  if ((data[from] == '\x81' && from + 1 < to && data[from + 1] == '\x40') ||
      !scanner_->Marks(from, to, marks)) {
    return false;
  }
  if (encoding_ == Encoding::kUtf8) {
    // A NUL byte or other control byte leaves the value to TakeValue.
    if (marks != 0 && scanner_->Controls(from, to) != 0) return false;
    return marks == 0 ? TakeFedAscii(from, to)
                      : TakeUtf8Value(std::string_view(data + from, to - from));
  }
  size_t pairEnd = 0;  // the end of the last double-byte character
  while (marks != 0) {
    const size_t k = LowestBit(marks);
    const CharKind kind = kChars.At(data + from + k);
    if (kind == kBroken) return false;
    if (kind == kDouble) pairEnd = from + k + 2;
    marks &= ~(uint64_t{kind} << k);  // the character's bytes
  }
  const bool endsDouble = pairEnd == to;
  if (endsDouble && data[to - 2] == '\x81' && data[to - 1] == '\x40') return false;
  record_.values[current_] = std::string_view(data + from, to - from);
  inData_ |= 1u << current_;
  endsDouble_ = endsDouble;
  return true;
}

// A value of ASCII other than NUL, trimmed, in the data being fed.
inline bool RecordReader::TakeFedAscii(size_t from, size_t to) {
  record_.values[current_] = std::string_view(fedData_ + from, to - from);
  inData_ |= 1u << current_;
  endsDouble_ = false;
  return true;
}

// A value of a UTF-8 book in the data being fed that is not all ASCII and holds no control
// byte, trimmed of blanks and tabs: converted at once into its item's place in utf8Values_,
// unless a full-width space at either end leaves it to TakeValue.
bool RecordReader::TakeUtf8Value(std::string_view text) {
  const auto fullWidthSpaceAt = [text](size_t i) {
    return text[i] == '\xE3' && text[i + 1] == '\x80' && text[i + 2] == '\x80';
  };
  if (text.size() >= 3 && (fullWidthSpaceAt(0) || fullWidthSpaceAt(text.size() - 3))) return false;
  char* const begin = utf8Values_.get() + current_ * kMaxLine;
  Replaced replaced;
  const std::string_view value(begin,
                               static_cast<size_t>(Utf8ToCp932(text, begin, replaced) - begin));
  NoteReplaced(replaced);
  // The last character comes out as a double-byte one when the table says so.
  size_t last = text.size() - 1;
  if (static_cast<unsigned char>(text[last]) < 0x80) {
    endsDouble_ = false;
    record_.values[current_] = value;
    return true;
  }
  while (last > 0 && text.size() - last < 4 &&
         (static_cast<unsigned char>(text[last]) & 0xC0) == 0x80) {
    --last;
  }
  char32_t c = 0;
  const size_t length = DecodeUtf8(text, last, c);
  endsDouble_ = last + length == text.size() && c != kInvalidSequence && c != kCutSequence &&
                IsDoubleByteChar(c);
  record_.values[current_] = value;
  return true;
}

[[gnu::always_inline]] inline void RecordReader::TakeItemLine(std::string_view line, bool fed) {
  if (!hasText_) {
    hasText_ = true;
    record_.line = line_;
  }
  current_ = -1;
  const int item = ItemAtStart(line, fed ? fedEnd_ : line.data() + line.size());
  // A repeated item keeps its first value; the repetition and its continuations are ignored.
  if (item < 0 || record_.present[item]) return;
  record_.present[item] = true;
  current_ = item;
  endsDouble_ = false;
  const std::string_view value = line.substr(kItemNames[item].size() + 1);
  if (fed) {
    const size_t from = static_cast<size_t>(value.data() - fedData_);
    if (TakeFedValue(from, from + value.size())) return;
  }
  TakeValue(value, fed);
}

void RecordReader::TakeValue(std::string_view value, bool fed) {
  const char* limit = fed ? fedEnd_ : value.data() + value.size();
  if (encoding_ == Encoding::kUtf8 && FindNonAscii(value, 0, limit) < value.size()) {
    value = InCp932(value);
    limit = value.data() + value.size();
    fed = false;
  }
  AppendPiece(value, fed, limit);
}

void RecordReader::Feed(std::string_view data) {
  size_t i = 0;
  if (afterCr_ && !data.empty()) {
    afterCr_ = false;
    if (data[0] == '\n') i = 1;
  }
  LineScanner scanner(data);
  scanner_ = &scanner;
  fedData_ = data.data();
  fedEnd_ = data.data() + data.size();
  if (i < data.size() && (!partial_.empty() || partialCut_)) {
    const size_t end = scanner.NextLineEnd(i);
    AddToPartial(data.substr(i, end - i));
    if (end == data.size()) {
      scanner_ = nullptr;
      return;
    }
    TakeLine(partial_, partialCut_, false);
    partial_.clear();
    partialCut_ = false;
    i = EndLine(data, end);
  }
  while (i < data.size()) {
    const size_t end = scanner.NextLineEnd(i);
    if (end == data.size()) {
      AddToPartial(data.substr(i));
      break;
    }
    const std::string_view line = data.substr(i, end - i);
    if (line.empty()) {
      current_ = -1;
      if (separation_ == Separation::kBlankLine) EndRecord();
    } else if (line.size() <= kMaxLine && kTable.nameChar[static_cast<unsigned char>(line[0])]) {
      TakeItemLine(line, true);
    } else {
      TakeLine(line, false, true);
    }
    i = EndLine(data, end);
  }
  KeepValues();
  scanner_ = nullptr;
}

size_t RecordReader::EndLine(std::string_view data, size_t end) {
  const char terminator = data[end];
  size_t next = end + 1;
  if (terminator == '\f') {
    EndRecord();
    return next;
  }
  ++line_;
  if (terminator == '\r') {
    if (next == data.size()) {
      afterCr_ = true;
    } else if (data[next] == '\n') {
      ++next;
    }
  }
  return next;
}

void RecordReader::Finish() {
  if (!partial_.empty() || partialCut_) {
    TakeLine(partial_, partialCut_, false);
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

void RecordReader::TakeLine(std::string_view line, bool cut, bool fed) {
  const size_t size = line.size();
  if (cut || line.size() > kMaxLine) {
    line = line.substr(0, BoundaryAtOrBefore(line, kMaxLine, encoding_));
    warnings_.Add(Warning::kLongLine, line_);
  }
  // Most lines start with an item name, which is ASCII in every encoding: only the values of
  // the items kept are looked at, and converted when they are not ASCII.
  if (!line.empty() && kTable.nameChar[static_cast<unsigned char>(line[0])]) {
    // A cut value ends where its line does not: it is taken as pieces are.
    TakeItemLine(line, fed && !cut && line.size() == size);
    return;
  }
  const char* limit = line.data() + line.size();
  if (encoding_ == Encoding::kUtf8) {
    line = InCp932(line);
    limit = line.data() + line.size();
    fed = false;
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
    if (current_ >= 0) AppendPiece(line, fed, limit);
    return;
  }
  current_ = -1;
}

std::string_view RecordReader::InCp932(std::string_view text) {
  if (encoding_ == Encoding::kCp932) return text;
  NoteReplaced(Utf8ToCp932(text, converted_));
  return converted_;
}

void RecordReader::NoteReplaced(Replaced replaced) {
  if (replaced.unmappable) warnings_.Add(Warning::kUnmappable, line_);
  if (replaced.invalid) warnings_.Add(Warning::kInvalidByte, line_);
}

// Appends a piece of the current item's value, without its surrounding blanks, tabs and
// full-width spaces. Joins with one blank unless a double-byte character meets the join. NUL
// bytes and lead bytes without a valid trail byte become '?', so the output is always
// well-formed code page 932. A value of one clean piece points into the data being fed, when
// it lies there; any other value is built in kept_.
void RecordReader::AppendPiece(std::string_view piece, bool fed, const char* limit) {
  const Shape shape = ShapeOf(piece, limit);
  if (shape.begin == shape.end) return;
  piece = piece.substr(shape.begin, shape.end - shape.begin);
  std::string_view& view = record_.values[current_];
  std::string& value = kept_[current_];
  const unsigned bit = 1u << current_;
  if (view.empty() && shape.clean && piece.size() <= kMaxValue) {
    if (fed) {
      view = piece;
      inData_ |= bit;
    } else {
      view = value.assign(piece);
    }
    endsDouble_ = shape.endsDouble;
    return;
  }
  // A value that points elsewhere (into the data being fed, or utf8Values_) goes on in kept_.
  if (view.data() != value.data()) {
    value.assign(view);
    inData_ &= ~bit;
  }
  if (!value.empty() && !endsDouble_ && !shape.startsDouble) {
    if (value.size() == kMaxValue) {
      warnings_.Add(Warning::kLongLine, line_);
      return;
    }
    value += ' ';
  }
  if (shape.clean && value.size() + piece.size() <= kMaxValue) {
    value.append(piece);
    endsDouble_ = shape.endsDouble;
    view = value;
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
  view = value;
  if (!shape.clean) warnings_.Add(Warning::kInvalidByte, line_);
}

void RecordReader::KeepValues() {
  for (; inData_ != 0; inData_ &= inData_ - 1) {
    const unsigned item = LowestBit(inData_);
    record_.values[item] = kept_[item].assign(record_.values[item]);
  }
}

void RecordReader::EndRecord() {
  if (hasText_) sink_(record_);
  record_.values.fill(std::string_view());
  for (std::string& value : kept_) value.clear();
  record_.present.fill(false);
  inData_ = 0;
  hasText_ = false;
  current_ = -1;
}

}  // namespace tamarack
