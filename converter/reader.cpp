#include "reader.h"

#include <cstdint>
#include <cstring>
#include <utility>

#include "cp932.h"
#include "cp932_chars.h"
#include "scan.h"
#include "trim.h"
#include "utf8.h"

namespace tamarack {
namespace {

// In lower case, which ItemAtStart compares with.
constexpr std::array<std::string_view, kKeptItemCount> kItemNames = {
    "form",        "fullname",    "lastname",  "firstname", "internetaddress",
    "mailaddress", "companyname", "department"};

// The bytes that an item's name is made of: a line that starts with any other byte names no item.
struct NameBytes {
  std::array<bool, 256> is{};
  constexpr NameBytes() {
    for (int c = '0'; c <= '9'; ++c) is[c] = true;
    for (int c = 'A'; c <= 'Z'; ++c) is[c] = is[c + 32] = true;
    is['_'] = is['$'] = true;
  }
};
constexpr NameBytes kNameBytes;

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
  from = SkipBlanks(std::string_view(data, to), from);
  to = EndWithoutBlanks(std::string_view(data, to), from);
  if (from == to) return true;
  uint64_t marks = 0;
  if ((to - from >= 2 && IsFullWidthSpace(data + from)) || !scanner_->Marks(from, to, marks)) {
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
    const CharKind kind = CharKindAt(data + from + k);
    if (kind == kBroken) return false;
    if (kind == kDouble) pairEnd = from + k + 2;
    marks &= ~(uint64_t{kind} << k);  // the character's bytes
  }
  const bool endsDouble = pairEnd == to;
  if (endsDouble && IsFullWidthSpace(data + to - 2)) return false;
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
  if (text.size() >= 3 &&
      (IsFullWidthSpaceUtf8(text.data()) || IsFullWidthSpaceUtf8(text.data() + text.size() - 3))) {
    return false;
  }
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
    } else if (line.size() <= kMaxLine && kNameBytes.is[static_cast<unsigned char>(line[0])]) {
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
    line = line.substr(0, encoding_ == Encoding::kUtf8 ? WholeUtf8Chars(line, kMaxLine)
                                                       : WholeCp932Chars(line, kMaxLine));
    warnings_.Add(Warning::kLongLine, line_);
  }
  // Most lines start with an item name, which is ASCII in every encoding: only the values of
  // the items kept are looked at, and converted when they are not ASCII.
  if (!line.empty() && kNameBytes.is[static_cast<unsigned char>(line[0])]) {
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
  if (SkipSpaces(line, 0) == line.size()) {
    current_ = -1;
    if (separation_ == Separation::kBlankLine) EndRecord();
    return;
  }
  if (!hasText_) {
    hasText_ = true;
    record_.line = line_;
  }
  if (IsBlankOrTab(line[0])) {
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
    const CharKind kind = CharKindOf(piece, i);
    const size_t length = kind == kDouble ? 2 : 1;
    if (value.size() + length > kMaxValue) {
      warnings_.Add(Warning::kLongLine, line_);
      break;
    }
    if (kind == kBroken) {
      value += '?';
    } else {
      value.append(piece.data() + i, length);
    }
    endsDouble_ = kind == kDouble;
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
