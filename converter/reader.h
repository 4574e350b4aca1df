// Streaming reader of the groupware's structured text export. Bytes go in by Feed in chunks
// of any size; each complete record goes out to the sink. Only the items that the output uses
// are kept, and lines and values are capped, so memory stays bounded whatever the input.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "warnings.h"

namespace tamarack {

enum Item {
  kForm,
  kFullName,
  kLastName,
  kFirstName,
  kInternetAddress,
  kMailAddress,
  kCompanyName,
  kDepartment,
  kItemCount
};

struct Record {
  std::array<std::string, kItemCount> values;  // code page 932, trimmed, continuations joined
  std::array<bool, kItemCount> present{};      // the item occurred (possibly with no value)
  long line = 0;                               // first line of the record that holds text
};

// The text the reader takes: UTF-8 is converted to code page 932 line by line.
enum class Encoding { kCp932, kUtf8 };

// Records are separated by form feeds, or by blank lines in a file without any form feed.
enum class Separation { kFormFeed, kBlankLine };

constexpr size_t kMaxLine = 64 * 1024;
constexpr size_t kMaxValue = 64 * 1024;

class RecordReader {
 public:
  using Sink = std::function<void(const Record&)>;

  // The byte order mark, if any, must already be removed from the text.
  RecordReader(Encoding encoding, Separation separation, WarningLog& warnings, Sink sink);

  void Feed(std::string_view data);
  // Ends the last line and the last record.
  void Finish();

 private:
  void AddToPartial(std::string_view data);
  void TakeLine(std::string_view line, bool cut);
  // The text in code page 932: UTF-8 converted (into converted_), with its warnings.
  std::string_view InCp932(std::string_view text);
  void AppendPiece(std::string_view piece);
  void EndRecord();

  const Encoding encoding_;
  const Separation separation_;
  WarningLog& warnings_;
  Sink sink_;

  std::string partial_;  // a line that continues into the next chunk
  bool partialCut_ = false;
  bool afterCr_ = false;  // the previous chunk ended with CR: a leading LF belongs to it
  long line_ = 1;
  std::string converted_;  // UTF-8 text in code page 932

  Record record_;
  bool hasText_ = false;
  int current_ = -1;         // the item that a continuation line extends, or -1
  bool endsDouble_ = false;  // the current item's value ends with a double-byte character
};

}  // namespace tamarack
