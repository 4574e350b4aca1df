// Streaming reader of the groupware's structured text export. Bytes go in by Feed in chunks
// of any size; each complete record goes out to the sink. Only the items that the output uses
// are kept, and lines and values are capped, so memory stays bounded whatever the input.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "cp932.h"
#include "scan.h"
#include "text_form.h"
#include "warnings.h"

namespace tamarack {

// The items of the export that the reader keeps: those that the output's fields are made of.
enum KeptItem {
  kForm,
  kFullName,
  kLastName,
  kFirstName,
  kInternetAddress,
  kMailAddress,
  kCompanyName,
  kDepartment,
  kKeptItemCount
};

struct Record {
  // Code page 932, trimmed, continuations joined. Valid during the sink's call only: a value
  // may point into the text being fed.
  std::array<std::string_view, kKeptItemCount> values;
  std::array<bool, kKeptItemCount> present{};  // the item occurred (possibly with no value)
  long line = 0;                               // first line of the record that holds text
};

constexpr size_t kMaxLine = 64 * 1024;
constexpr size_t kMaxValue = 64 * 1024;

class RecordReader {
 public:
  using Sink = std::function<void(const Record&)>;

  // The byte order mark, if any, must already be removed from the text.
  RecordReader(Encoding encoding, Separation separation, WarningLog& warnings, Sink sink);

  // Takes the next bytes of the text, which must stay as they are until Feed returns.
  void Feed(std::string_view data);
  // Ends the last line and the last record.
  void Finish();

 private:
  // Ends the line whose terminator is at data[end]; returns where the next line starts.
  size_t EndLine(std::string_view data, size_t end);
  void AddToPartial(std::string_view data);
  // fed: the line lies in the data being fed, so a value may point into it until Feed returns.
  void TakeLine(std::string_view line, bool cut, bool fed);
  // A line that starts with a name character.
  void TakeItemLine(std::string_view line, bool fed);
  // The common kinds of value, in the data being fed; false leaves the value to TakeValue.
  bool TakeFedValue(size_t from, size_t to);
  bool TakeFedAscii(size_t from, size_t to);
  bool TakeUtf8Value(std::string_view text);
  // The value of the item just found, as it comes: converted, trimmed, joined.
  void TakeValue(std::string_view value, bool fed);
  // The text in code page 932: UTF-8 converted (into converted_), with its warnings.
  std::string_view InCp932(std::string_view text);
  // Records the warnings for what a conversion replaced.
  void NoteReplaced(Replaced replaced);
  // limit: where the memory readable after the piece ends (see scan.h).
  void AppendPiece(std::string_view piece, bool fed, const char* limit);
  // Copies the values that point into the data being fed into kept_.
  void KeepValues();
  void EndRecord();

  const Encoding encoding_;
  const Separation separation_;
  WarningLog& warnings_;
  Sink sink_;

  // The data being fed, and its scanner, during Feed.
  const LineScanner* scanner_ = nullptr;
  const char* fedData_ = nullptr;
  const char* fedEnd_ = nullptr;
  std::string partial_;  // a line that continues into the next chunk
  bool partialCut_ = false;
  bool afterCr_ = false;  // the previous chunk ended with CR: a leading LF belongs to it
  long line_ = 1;
  std::string converted_;  // UTF-8 text in code page 932
  // For a UTF-8 book, a place for each item's value converted from a line of the data being fed
  // (a line of kMaxLine bytes at most). Not zeroed, unlike a string's.
  std::unique_ptr<char[]> utf8Values_;

  Record record_;
  // Values built of pieces or gathered across reads, and those that Feed copies at its end.
  std::array<std::string, kKeptItemCount> kept_;
  unsigned inData_ = 0;  // a bit for each value pointing into the data being fed
  bool hasText_ = false;
  int current_ = -1;         // the item that a continuation line extends, or -1
  bool endsDouble_ = false;  // the current item's value ends with a double-byte character
};

}  // namespace tamarack
