#include "reader.h"

#include <cstdint>
#include <utility>

#include "cp932.h"
#include "cp932_chars.h"
#include "record_values.h"
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

bool StartsWithName(std::string_view line) {
  return kNameBytes.is[static_cast<unsigned char>(line[0])];
}

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

// Whether the last character of UTF-8 text becomes a double-byte character of code page 932.
bool EndsDoubleInCp932(std::string_view utf8) {
  size_t last = utf8.size() - 1;
  if (static_cast<unsigned char>(utf8[last]) < 0x80) return false;
  while (last > 0 && utf8.size() - last < 4 &&
         (static_cast<unsigned char>(utf8[last]) & 0xC0) == 0x80) {
    --last;
  }
  char32_t c = 0;
  const size_t length = DecodeUtf8(utf8, last, c);
  return last + length == utf8.size() && c != kInvalidSequence && c != kCutSequence &&
         IsDoubleByteChar(c);
}

}  // namespace

class RecordReader::Impl {
 public:
  virtual ~Impl() = default;
  virtual void Feed(std::string_view data) = 0;
  virtual void Finish() = 0;
};

namespace {

// The reader of a text in one encoding. What differs between the encodings is in three
// functions, each written for both below: where a line too long is cut (WholeChars), how a text
// becomes code page 932 (InCp932), and how the common value is taken (TakeMarkedValue).
//
// A value goes one of two ways. Most are taken the common way (TakeCommonValue): a whole value
// in the data being fed, as the scan of its line marked it, pointing where it lies. Any other
// value (longer than the marks reach, split by a read, with a full-width space at an end, a
// broken character or, in UTF-8, a control byte) is taken the general way (TakeAnyValue):
// converted, shaped a character at a time and joined as a continuation line is (JoinPiece).
template <Encoding kEncoding>
class BookReader final : public RecordReader::Impl {
 public:
  BookReader(Separation separation, WarningLog& warnings, RecordReader::Sink sink)
      : separation_(separation), warnings_(warnings), sink_(std::move(sink)) {}

  void Feed(std::string_view data) override {
    size_t i = 0;
    if (afterCr_ && !data.empty()) {
      afterCr_ = false;
      if (data[0] == '\n') i = 1;
    }
    LineScanner scanner(data);
    scanner_ = &scanner;
    fedData_ = data.data();
    fedEnd_ = data.data() + data.size();
    if (i < data.size() && !partial_.empty()) {
      const size_t end = scanner.NextLineEnd(i);
      AddToPartial(data.substr(i, end - i));
      if (end == data.size()) {
        scanner_ = nullptr;
        return;
      }
      TakeLine(partial_, Lifetime::kLine);
      partial_.clear();
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
        BlankLine();
      } else if (line.size() <= kMaxLine && StartsWithName(line)) {
        TakeItemLine(line, Lifetime::kFeed);
      } else {
        TakeLine(line, Lifetime::kFeed);
      }
      i = EndLine(data, end);
    }
    values_.KeepFed();
    scanner_ = nullptr;
  }

  void Finish() override {
    if (!partial_.empty()) {
      TakeLine(partial_, Lifetime::kLine);
      partial_.clear();
    }
    EndRecord();
  }

 private:
  // Ends the line whose terminator is at data[end]; returns where the next line starts.
  size_t EndLine(std::string_view data, size_t end) {
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

  void AddToPartial(std::string_view data) {
    partial_.append(data.substr(0, kMaxLine + 1 - partial_.size()));
  }

  void TakeLine(std::string_view line, Lifetime lifetime) {
    if (line.size() > kMaxLine) {
      // What is kept of the line ends where the line does not: it is copied, the general way.
      line = line.substr(0, WholeChars(line, kMaxLine));
      lifetime = Lifetime::kLine;
      warnings_.Add(Warning::kLongLine, line_);
    }
    // Most lines start with an item name, which is ASCII in every encoding: only the values of
    // the items kept are looked at, and converted when they are not ASCII.
    if (!line.empty() && StartsWithName(line)) {
      TakeItemLine(line, lifetime);
      return;
    }
    line = InCp932(line, lifetime);
    if (SkipSpaces(line, 0) == line.size()) {
      BlankLine();
      return;
    }
    values_.NoteText(line_);
    // A line that starts with a blank or a tab continues the open value; any other line ends it.
    if (IsBlankOrTab(line[0])) {
      if (values_.IsOpen()) JoinPiece(line, lifetime);
      return;
    }
    values_.Close();
  }

  void BlankLine() {
    values_.Close();
    if (separation_ == Separation::kBlankLine) EndRecord();
  }

  // A line that starts with a name character, of kMaxLine bytes at most.
  [[gnu::always_inline]] void TakeItemLine(std::string_view line, Lifetime lifetime) {
    values_.NoteText(line_);
    if (!values_.Open(ItemAtStart(line, ReadableEnd(line, lifetime)))) return;
    const std::string_view value = line.substr(kItemNames[values_.Current()].size() + 1);
    if (lifetime == Lifetime::kFeed) {
      const size_t from = static_cast<size_t>(value.data() - fedData_);
      if (TakeCommonValue(from, from + value.size())) return;
    }
    TakeAnyValue(value, lifetime);
  }

  // The value data[from, to) of a whole line in the data being fed: the scanner's marks show
  // where the bytes that are not ASCII lie, and only those are looked at. The byte at `to` is
  // the line's end or a blank, never a trail byte. False leaves the value to TakeAnyValue.
  [[gnu::always_inline]] bool TakeCommonValue(size_t from, size_t to) {
    const std::string_view data(fedData_, to);
    from = SkipBlanks(data, from);
    to = EndWithoutBlanks(data, from);
    if (from == to) return true;
    uint64_t marks = 0;
    return scanner_->Marks(from, to, marks) && TakeMarkedValue(from, to, marks);
  }

  void TakeAnyValue(std::string_view value, Lifetime lifetime) {
    value = InCp932(value, lifetime);
    JoinPiece(value, lifetime);
  }

  void JoinPiece(std::string_view piece, Lifetime lifetime) {
    const Shape shape = ShapeOf(piece, ReadableEnd(piece, lifetime));
    if (shape.begin == shape.end) return;
    const Joined joined =
        values_.Join(piece.substr(shape.begin, shape.end - shape.begin), shape, lifetime);
    if (joined.cut) warnings_.Add(Warning::kLongLine, line_);
    if (joined.replaced) warnings_.Add(Warning::kInvalidByte, line_);
  }

  // Written for each encoding below.
  static size_t WholeChars(std::string_view line, size_t limit);
  // The text in code page 932; lifetime becomes that of the text returned.
  std::string_view InCp932(std::string_view text, Lifetime& lifetime);
  bool TakeMarkedValue(size_t from, size_t to, uint64_t marks);

  // Where the memory readable after text ends (see scan.h).
  const char* ReadableEnd(std::string_view text, Lifetime lifetime) const {
    return lifetime == Lifetime::kFeed ? fedEnd_ : text.data() + text.size();
  }

  // Records the warnings for what a conversion replaced.
  void NoteReplaced(Replaced replaced) {
    if (replaced.unmappable) warnings_.Add(Warning::kUnmappable, line_);
    if (replaced.invalid) warnings_.Add(Warning::kInvalidByte, line_);
  }

  void EndRecord() {
    if (values_.HasText()) sink_(values_.Contents());
    values_.Clear();
  }

  const Separation separation_;
  WarningLog& warnings_;
  RecordReader::Sink sink_;

  // The data being fed, and its scanner, during Feed.
  const LineScanner* scanner_ = nullptr;
  const char* fedData_ = nullptr;
  const char* fedEnd_ = nullptr;
  // A line that continues into the next chunk, with one byte beyond kMaxLine when it is longer,
  // so that its cut can end on a whole character.
  std::string partial_;
  bool afterCr_ = false;  // the previous chunk ended with CR: a leading LF belongs to it
  long line_ = 1;
  RecordValues values_;
  std::string converted_;  // a UTF-8 text in code page 932
  // For a UTF-8 book, a place for each item's value taken the common way, converted: as long as
  // the marks of a scan reach (64 bytes), and conversion never makes a text longer.
  std::array<std::array<char, 64>, kKeptItemCount> utf8Places_;
};

// Code page 932: the text as it stands.

template <>
size_t BookReader<Encoding::kCp932>::WholeChars(std::string_view line, size_t limit) {
  return WholeCp932Chars(line, limit);
}

template <>
std::string_view BookReader<Encoding::kCp932>::InCp932(std::string_view text, Lifetime&) {
  return text;
}

// Whole characters without NUL, no full-width space at either end: the value points where it
// lies.
template <>
[[gnu::always_inline]] inline bool BookReader<Encoding::kCp932>::TakeMarkedValue(size_t from,
                                                                                 size_t to,
                                                                                 uint64_t marks) {
  const char* const data = fedData_;
  if (to - from >= 2 && IsFullWidthSpace(data + from)) return false;
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
  values_.Set(std::string_view(data + from, to - from), endsDouble, Lifetime::kFeed);
  return true;
}

// UTF-8: each value converted as it is taken.

template <>
size_t BookReader<Encoding::kUtf8>::WholeChars(std::string_view line, size_t limit) {
  return WholeUtf8Chars(line, limit);
}

template <>
std::string_view BookReader<Encoding::kUtf8>::InCp932(std::string_view text, Lifetime& lifetime) {
  if (FindNonAscii(text, 0, ReadableEnd(text, lifetime)) >= text.size()) return text;
  NoteReplaced(Utf8ToCp932(text, converted_));
  lifetime = Lifetime::kLine;
  return converted_;
}

// ASCII points where it lies; any other value without a control byte (NUL among them) or a
// full-width space at either end is converted at once into its item's place.
template <>
[[gnu::always_inline]] inline bool BookReader<Encoding::kUtf8>::TakeMarkedValue(size_t from,
                                                                                size_t to,
                                                                                uint64_t marks) {
  const std::string_view text(fedData_ + from, to - from);
  if (marks == 0) {
    values_.Set(text, false, Lifetime::kFeed);
    return true;
  }
  if (scanner_->Controls(from, to) != 0) return false;
  if (text.size() >= 3 &&
      (IsFullWidthSpaceUtf8(text.data()) || IsFullWidthSpaceUtf8(text.data() + text.size() - 3))) {
    return false;
  }
  char* const place = utf8Places_[values_.Current()].data();
  Replaced replaced;
  const char* const end = Utf8ToCp932(text, place, replaced);
  NoteReplaced(replaced);
  values_.Set(std::string_view(place, static_cast<size_t>(end - place)), EndsDoubleInCp932(text),
              Lifetime::kRecord);
  return true;
}

}  // namespace

RecordReader::RecordReader(Encoding encoding, Separation separation, WarningLog& warnings,
                           Sink sink) {
  if (encoding == Encoding::kUtf8) {
    impl_ = std::make_unique<BookReader<Encoding::kUtf8>>(separation, warnings, std::move(sink));
  } else {
    impl_ = std::make_unique<BookReader<Encoding::kCp932>>(separation, warnings, std::move(sink));
  }
}

RecordReader::~RecordReader() = default;

void RecordReader::Feed(std::string_view data) { impl_->Feed(data); }

void RecordReader::Finish() { impl_->Finish(); }

}  // namespace tamarack
