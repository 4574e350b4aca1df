#include "survey.h"

#include <algorithm>
#include <cstring>

#include "text.h"
#include "utf8.h"

namespace tamarack {
namespace {

constexpr size_t kLongestMark = 4;

}  // namespace

bool InputSurvey::Feed(std::string_view data) {
  if (!marked_) {
    const size_t take = std::min(data.size(), kLongestMark - head_.size());
    head_.append(data.substr(0, take));
    data.remove_prefix(take);
    if (head_.size() < kLongestMark) return true;
    TakeMark();
  }
  Scan(data);
  return !Settled();
}

void InputSurvey::Finish() {
  if (!marked_) TakeMark();
  if (encoding_ == FileEncoding::kUtf16Le || encoding_ == FileEncoding::kUtf16Be) {
    formFeed_ = formFeed_ || decoder_->Finish().find('\f') != std::string_view::npos;
  }
  if (markSize_ > 0) return;
  if (nul_) {
    encoding_ = FileEncoding::kNotText;
  } else if (utf8Valid_ && cut_.empty() && multiByte_) {
    encoding_ = FileEncoding::kUtf8;
  }
}

void InputSurvey::TakeMark() {
  marked_ = true;
  const std::string_view head(head_);
  if (head.substr(0, 4) == std::string_view("\xFF\xFE\0\0", 4) ||
      head.substr(0, 4) == std::string_view("\0\0\xFE\xFF", 4)) {
    encoding_ = FileEncoding::kNotText;
    markSize_ = 4;
  } else if (head.substr(0, 3) == "\xEF\xBB\xBF") {
    encoding_ = FileEncoding::kUtf8;
    markSize_ = 3;
  } else if (head.substr(0, 2) == "\xFF\xFE" || head.substr(0, 2) == "\xFE\xFF") {
    encoding_ = head[0] == '\xFF' ? FileEncoding::kUtf16Le : FileEncoding::kUtf16Be;
    markSize_ = 2;
    decoder_.emplace(encoding_, 0);
  }
  offset_ = markSize_;
  Scan(head.substr(markSize_));
}

void InputSurvey::Scan(std::string_view data) {
  switch (encoding_) {
    case FileEncoding::kNotText:
      break;
    case FileEncoding::kUtf16Le:
    case FileEncoding::kUtf16Be:
      if (!formFeed_) formFeed_ = decoder_->Decode(data).find('\f') != std::string_view::npos;
      break;
    case FileEncoding::kUtf8:
    case FileEncoding::kCp932:
      if (!formFeed_) formFeed_ = data.find('\f') != std::string_view::npos;
      if (markSize_ > 0) break;
      if (offset_ < kTextCheckSize && !nul_) {
        const size_t window = std::min(data.size(), kTextCheckSize - offset_);
        nul_ = std::memchr(data.data(), '\0', window) != nullptr;
      }
      if (utf8Valid_) ScanUtf8(data);
      break;
  }
  offset_ += data.size();
}

// Checks the bytes as UTF-8, carrying a sequence that the data leaves open into the next call.
void InputSurvey::ScanUtf8(std::string_view data) {
  size_t i = 0;
  while (!cut_.empty() && i < data.size()) {
    cut_ += data[i++];
    char32_t c = 0;
    const size_t length = DecodeUtf8(cut_, 0, c);
    if (c == kCutSequence) continue;
    if (c == kInvalidSequence || length != cut_.size()) {
      utf8Valid_ = false;
      return;
    }
    multiByte_ = true;
    cut_.clear();
  }
  while (i < data.size()) {
    if (static_cast<unsigned char>(data[i]) < 0x80) {
      i += i + 8 <= data.size() && IsAscii8(data.data() + i) ? 8 : 1;
      continue;
    }
    char32_t c = 0;
    const size_t length = DecodeUtf8(data, i, c);
    if (c == kInvalidSequence) {
      utf8Valid_ = false;
      return;
    }
    if (c == kCutSequence) {
      cut_.assign(data.substr(i));
      return;
    }
    multiByte_ = true;
    i += length;
  }
}

bool InputSurvey::Settled() const {
  if (encoding_ == FileEncoding::kNotText || (markSize_ == 0 && nul_)) return true;
  if (!formFeed_) return false;
  return markSize_ > 0 || (!utf8Valid_ && offset_ >= kTextCheckSize);
}

}  // namespace tamarack
