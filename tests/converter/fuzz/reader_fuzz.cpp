// libFuzzer target over the encoding survey, the input decoder, the reader, the field mapping,
// the CSV writer and the conversion to UTF-8 output; the reader's values are compared with
// those it takes, and the warnings it gives, from the same book fed byte by byte. The first byte
// picks the encoding (the survey's, or UTF-8, UTF-16 LE or BE), EMAIL from FullName, the chunk size
// and the record separation; the rest is the address book. Aborts when a value or the output breaks
// the converter's guarantees.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "cp932.h"
#include "cp932_chars.h"
#include "csv.h"
#include "decoder.h"
#include "fields.h"
#include "reader.h"
#include "survey.h"
#include "utf8.h"

namespace {

using namespace tamarack;

void Check(bool condition) {
  if (!condition) std::abort();
}

// Bounded, free of NUL and line ends, and made of whole code page 932 characters only (UTF-8
// and UTF-16 input included, since the reader converts them).
void CheckValue(std::string_view value) {
  Check(value.size() <= kMaxValue);
  Check(value.find_first_of(std::string_view("\0\r\n\f", 4)) == std::string_view::npos);
  for (size_t i = 0; i < value.size();) {
    const size_t length = CharLength(value, i);
    Check(length == 2 || !IsLeadByte(static_cast<unsigned char>(value[i])));
    i += length;
  }
}

// Every record's values, copied.
using Values = std::vector<std::vector<std::string>>;

// Valid UTF-8 throughout.
void CheckUtf8(std::string_view text) {
  for (size_t i = 0; i < text.size();) {
    char32_t c = 0;
    i += DecodeUtf8(text, i, c);
    Check(c != kInvalidSequence && c != kCutSequence);
  }
}

// Reads the book, decoded, in chunks of the given size.
void Read(std::string_view book, size_t chunk, FileEncoding encoding, size_t mark,
          Separation separation, WarningLog& warnings, const RecordReader::Sink& sink) {
  InputDecoder decoder(encoding, mark);
  RecordReader reader(decoder.TextEncoding(), separation, warnings, sink);
  for (size_t i = 0; i < book.size(); i += chunk)
    reader.Feed(decoder.Decode(book.substr(i, chunk)));
  reader.Feed(decoder.Finish());
  reader.Finish();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const uint8_t flags = data[0];
  static constexpr size_t kChunks[] = {1, 3, 7, 64, 4096, SIZE_MAX, SIZE_MAX, SIZE_MAX};
  const size_t chunk = kChunks[(flags >> 3) & 7];
  const std::string_view book(reinterpret_cast<const char*>(data) + 1, size - 1);

  InputSurvey survey;
  for (size_t i = 0; i < book.size() && survey.Feed(book.substr(i, chunk)); i += chunk) {
  }
  survey.Finish();
  static constexpr FileEncoding kForced[] = {FileEncoding::kCp932, FileEncoding::kUtf8,
                                             FileEncoding::kUtf16Le, FileEncoding::kUtf16Be};
  const bool forced = (flags & 3) != 0;
  if (!forced && survey.FoundEncoding() == FileEncoding::kNotText) return 0;
  const FileEncoding encoding = forced ? kForced[flags & 3] : survey.FoundEncoding();
  const size_t mark = forced ? 0 : survey.MarkSize();
  const Separation separation = !forced          ? survey.RecordSeparation()
                                : (flags & 0x40) ? Separation::kBlankLine
                                                 : Separation::kFormFeed;
  MappingOptions options;
  options.emailFromFullName = flags & 4;
  options.domain = "example.jp";

  WarningLog warnings;
  CsvRows csv;
  std::string utf8;
  Row row;
  Values values;
  Read(book, chunk, encoding, mark, separation, warnings, [&](const Record& record) {
    for (const std::string_view value : record.values) CheckValue(value);
    values.emplace_back(record.values.begin(), record.values.end());
    if (!IsPerson(record)) return;
    MapPerson(record, options, row);
    csv.Append(row.fields.data(), row.fields.size());
    AppendCp932AsUtf8(csv.Text(), utf8);
    CheckUtf8(utf8);
    csv.Clear();
    utf8.clear();
  });

  // Fed byte by byte, every line is gathered across reads and taken the general way: the values
  // taken where they lie must be the same.
  if (book.size() <= 16 * 1024) {
    WarningLog moreWarnings;
    Values byteByByte;
    Read(book, 1, encoding, mark, separation, moreWarnings, [&](const Record& record) {
      byteByByte.emplace_back(record.values.begin(), record.values.end());
    });
    Check(byteByByte == values);
    for (size_t kind = 0; kind < kWarningKinds; ++kind) {
      Check(moreWarnings.Count(static_cast<Warning>(kind)) ==
            warnings.Count(static_cast<Warning>(kind)));
      Check(moreWarnings.Lines(static_cast<Warning>(kind)) ==
            warnings.Lines(static_cast<Warning>(kind)));
    }
  }
  return 0;
}
