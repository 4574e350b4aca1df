// libFuzzer target over the reader, the field mapping and the CSV writer. The first byte picks
// the encoding, the record separation, EMAIL from FullName and the chunk size; the rest is the
// address book. Aborts when a value breaks the reader's guarantees.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "csv.h"
#include "fields.h"
#include "reader.h"
#include "text.h"

namespace {

using namespace tamarack;

void Check(bool condition) {
  if (!condition) std::abort();
}

// Bounded, free of NUL and line ends, and made of whole code page 932 characters only (UTF-8
// input included, since the reader converts it).
void CheckValue(const std::string& value) {
  Check(value.size() <= kMaxValue);
  Check(value.find_first_of(std::string_view("\0\r\n\f", 4)) == std::string::npos);
  for (size_t i = 0; i < value.size();) {
    const size_t length = CharLength(value, i);
    Check(length == 2 || !IsLeadByte(static_cast<unsigned char>(value[i])));
    i += length;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const uint8_t flags = data[0];
  const bool utf8 = flags & 1;
  static constexpr size_t kChunks[] = {1, 3, 7, 64, 4096, SIZE_MAX, SIZE_MAX, SIZE_MAX};
  const size_t chunk = kChunks[(flags >> 3) & 7];
  MappingOptions options;
  options.emailFromFullName = flags & 4;
  options.domain = "example.jp";

  WarningLog warnings;
  std::string csv;
  Row row;
  RecordReader reader(utf8 ? Encoding::kUtf8 : Encoding::kCp932,
                      flags & 2 ? Separation::kBlankLine : Separation::kFormFeed, warnings,
                      [&](const Record& record) {
                        for (const std::string& value : record.values) CheckValue(value);
                        if (!IsPerson(record)) return;
                        MapPerson(record, options, row);
                        for (const std::string& field : row) {
                          AppendCsvField(csv, field);
                          AppendCsvSeparator(csv);
                        }
                        EndCsvRow(csv);
                        csv.clear();
                      });
  const std::string_view book(reinterpret_cast<const char*>(data) + 1, size - 1);
  for (size_t i = 0; i < book.size(); i += chunk) reader.Feed(book.substr(i, chunk));
  reader.Finish();
  return 0;
}
