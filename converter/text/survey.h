// What a book is, learnt from its bytes before anything is converted: the encoding, the byte
// order mark and how records are separated.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "decoder.h"
#include "text_form.h"

namespace tamarack {

// A NUL byte this close to the start marks a file that is no text: a binary file, UTF-32, or
// UTF-16 without a byte order mark. Further on it is a stray byte of a text file.
constexpr size_t kTextCheckSize = 64 * 1024;

// The file's bytes go in by Feed, in order from the start, then Finish decides:
// - a byte order mark decides: UTF-8, UTF-16 LE or BE; UTF-32 is no text;
// - without one, a NUL byte within kTextCheckSize means no text; bytes that are valid UTF-8
//   throughout and hold at least one multi-byte sequence mean UTF-8; anything else code page 932.
class InputSurvey {
 public:
  // Returns false once the rest of the file can change nothing: the caller may stop reading.
  bool Feed(std::string_view data);
  void Finish();

  FileEncoding FoundEncoding() const { return encoding_; }
  // For a file without a mark: whether the bytes fed so far may be UTF-8, before Finish as
  // after. A file of ASCII alone may: its text is the same in either encoding.
  bool MayBeUtf8() const {
    return markSize_ == 0 && !nul_ && utf8Valid_ && (!finished_ || cut_.empty());
  }
  size_t MarkSize() const { return markSize_; }
  Separation RecordSeparation() const {
    return formFeed_ ? Separation::kFormFeed : Separation::kBlankLine;
  }

 private:
  void TakeMark();
  void Scan(std::string_view data);
  void ScanUtf8(std::string_view data);
  bool Settled() const;

  std::string head_;  // the first bytes, until they show whether there is a mark
  bool marked_ = false;
  FileEncoding encoding_ = FileEncoding::kCp932;
  size_t markSize_ = 0;
  std::optional<InputDecoder> decoder_;  // for UTF-16, whose form feeds are two bytes
  size_t offset_ = 0;                    // of the next byte to scan
  bool formFeed_ = false;
  bool nul_ = false;
  bool utf8Valid_ = true;
  bool multiByte_ = false;
  std::string cut_;  // a UTF-8 sequence that the last bytes fed left open
  bool finished_ = false;
};

}  // namespace tamarack
