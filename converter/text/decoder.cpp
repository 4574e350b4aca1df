#include "decoder.h"

#include <algorithm>

#include "utf8.h"

namespace tamarack {
namespace {

bool IsHighSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

}  // namespace

InputDecoder::InputDecoder(FileEncoding encoding, size_t markSize)
    : encoding_(encoding), skip_(markSize) {}

std::string_view InputDecoder::Decode(std::string_view data) {
  const size_t skipped = std::min(skip_, data.size());
  data.remove_prefix(skipped);
  skip_ -= skipped;
  if (encoding_ != FileEncoding::kUtf16Le && encoding_ != FileEncoding::kUtf16Be) return data;

  text_.clear();
  const bool little = encoding_ == FileEncoding::kUtf16Le;
  for (const char byte : data) {
    if (oddByte_ < 0) {
      oddByte_ = static_cast<unsigned char>(byte);
      continue;
    }
    const unsigned first = static_cast<unsigned>(oddByte_);
    const unsigned second = static_cast<unsigned char>(byte);
    oddByte_ = -1;
    TakeUnit(static_cast<char16_t>(little ? second << 8 | first : first << 8 | second));
  }
  return text_;
}

std::string_view InputDecoder::Finish() {
  text_.clear();
  // A surrogate alone keeps its (invalid) UTF-8 form and an odd byte becomes an invalid byte:
  // the reader replaces each with '?' and warns about the line.
  if (highHalf_ != 0) AppendUtf8(highHalf_, text_);
  if (oddByte_ >= 0) text_ += '\xFF';
  highHalf_ = 0;
  oddByte_ = -1;
  return text_;
}

void InputDecoder::TakeUnit(char16_t unit) {
  if (highHalf_ != 0) {
    if (IsLowSurrogate(unit)) {
      AppendUtf8(0x10000 + ((highHalf_ - 0xD800) << 10) + (unit - 0xDC00), text_);
      highHalf_ = 0;
      return;
    }
    AppendUtf8(highHalf_, text_);
    highHalf_ = 0;
  }
  if (IsHighSurrogate(unit)) {
    highHalf_ = unit;
  } else {
    AppendUtf8(unit, text_);
  }
}

}  // namespace tamarack
