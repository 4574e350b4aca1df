// Streaming reader of the groupware's structured text export. Bytes go in by Feed in chunks
// of any size; each complete record goes out to the sink. Only the items that the output uses
// are kept, and lines and values are capped, so memory stays bounded whatever the input.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <memory>
#include <string_view>

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
  // The reading of text in one encoding, chosen when the reader is made (reader.cpp).
  class Impl;

  // The byte order mark, if any, must already be removed from the text.
  RecordReader(Encoding encoding, Separation separation, WarningLog& warnings, Sink sink);
  ~RecordReader();

  // Takes the next bytes of the text, which must stay as they are until Feed returns.
  void Feed(std::string_view data);
  // Ends the last line and the last record.
  void Finish();

 private:
  std::unique_ptr<Impl> impl_;
};

}  // namespace tamarack
