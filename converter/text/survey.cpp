#include "survey.h"

#include <algorithm>
#include <cstring>

#include "scan.h"
#include "utf8.h"

namespace tamarack {
namespace {

constexpr size_t kLongestMark = 4;

// How many common three-byte sequences (see IsCommonThreeByte) follow each other from p, up to
// five: sixteen bytes readable at p are checked at once. Japanese text is mostly runs of them.
size_t CommonThreeByteRun(const char* p) {
  // Lead bytes at 0, 3, 6, 9 and 12: E0 to EF (the high four bits) but not E0 or ED. The bytes
  // between them: continuation bytes (the high two bits 10).
  const Bytes16 form = Set16('\xF0', '\xC0', '\xC0', '\xF0', '\xC0', '\xC0', '\xF0', '\xC0', '\xC0',
                             '\xF0', '\xC0', '\xC0', '\xF0', '\xC0', '\xC0', 0);
  const Bytes16 wanted = Set16('\xE0', '\x80', '\x80', '\xE0', '\x80', '\x80', '\xE0', '\x80',
                               '\x80', '\xE0', '\x80', '\x80', '\xE0', '\x80', '\x80', 1);
  const Bytes16 bytes = Load16(p);
  const Bytes16 uncommon = Or(Equal(bytes, Splat('\xE0')), Equal(bytes, Splat('\xED')));
  const unsigned good =
      HighBits(Equal(And(bytes, form), wanted)) & ~HighBits(And(uncommon, form)) & 0x7FFF;
  // The good bytes from the first on, counted in whole sequences.
  return LowestBit(~uint64_t{good}) / 3;
}

// For the 64 bytes at block: whether all the bytes that are not ASCII form common three-byte
// sequences (see IsCommonThreeByte), as in most Japanese text, told without a branch per
// sequence: each lead byte needs continuation bytes, and only them, in the two places after it.
// A sequence that the block's end cuts is left to the caller: open gets its lead byte's bit
// (62 or 63), or 0. Also false when the block holds any other kind.
bool CommonThreeByteBlock(const char* block, uint64_t& leads, uint64_t& open) {
  uint64_t high = 0;
  uint64_t continuations = 0;
  leads = 0;
  for (int k = 0; k < 4; ++k) {
    const Bytes16 bytes = Load16(block + 16 * k);
    // With the high bit flipped, bytes compare as signed numbers in their own order.
    const Bytes16 flipped = Xor(bytes, Splat('\x80'));
    const Bytes16 lead = AndNot(Equal(bytes, Splat('\xED')),
                                And(Greater(flipped, Splat(0x60)), Greater(Splat(0x70), flipped)));
    const Bytes16 continuation = And(Greater(Splat(0x40), flipped), Greater(flipped, Splat(-1)));
    high |= static_cast<uint64_t>(HighBits(bytes)) << (16 * k);
    leads |= static_cast<uint64_t>(HighBits(lead)) << (16 * k);
    continuations |= static_cast<uint64_t>(HighBits(continuation)) << (16 * k);
  }
  open = leads & (uint64_t{3} << 62);
  return (high & ~(leads | continuations)) == 0 && continuations == (leads << 1 | leads << 2);
}

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
  finished_ = true;
  if (!marked_) TakeMark();
  if (encoding_ == FileEncoding::kUtf16Le || encoding_ == FileEncoding::kUtf16Be) {
    formFeed_ = formFeed_ || FindByte(decoder_->Finish(), '\f') != std::string_view::npos;
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
      if (!formFeed_) formFeed_ = FindByte(decoder_->Decode(data), '\f') != std::string_view::npos;
      break;
    case FileEncoding::kUtf8:
    case FileEncoding::kCp932:
      if (!formFeed_) formFeed_ = FindByte(data, '\f') != std::string_view::npos;
      if (markSize_ > 0) break;
      if (offset_ < kTextCheckSize && !nul_) {
        const size_t window = std::min(data.size(), kTextCheckSize - offset_);
        nul_ = FindByte(data.substr(0, window), '\0') != std::string_view::npos;
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
  // Sequences start only at bytes that are not ASCII, found 64 at a time; a sequence may go on
  // into the next block.
  const char* const p = data.data();
  const size_t n = data.size();
  while (i < n) {
    const size_t block = i;
    uint64_t bits = 0;
    if (n - block >= 64) {
      uint64_t leads = 0;
      uint64_t open = 0;
      if (CommonThreeByteBlock(p + block, leads, open)) {
        // The sequence that goes on into the next block: the leads' rule does not see its
        // continuation bytes there.
        const size_t at = open == 0 ? 0 : block + LowestBit(open);
        if (open == 0 || (n - at >= 3 && IsCommonThreeByte(SequenceBytes(p + at, n - at)) &&
                          (open & (open - 1)) == 0)) {
          multiByte_ = multiByte_ || leads != 0;
          i = open == 0 ? block + 64 : at + 3;
          continue;
        }
      }
      bits = NonAsciiBits(p + block);
    } else {
      char tail[64] = {};
      std::memcpy(tail, p + block, n - block);
      bits = NonAsciiBits(tail);
    }
    if (bits != 0) multiByte_ = true;  // or else the walk returns, the file no UTF-8
    while (bits != 0) {
      // A run of sequences, mostly common three-byte ones, up to the next ASCII byte.
      size_t at = block + LowestBit(bits);
      do {
        const size_t run = n - at >= 16 ? CommonThreeByteRun(p + at) : 0;
        if (run != 0) {
          at += 3 * run;
          continue;
        }
        if (IsCommonThreeByte(SequenceBytes(p + at, n - at))) {
          at += 3;
          continue;
        }
        char32_t c = 0;
        const size_t length = DecodeUtf8(data, at, c);
        if (c == kInvalidSequence) {
          utf8Valid_ = false;
          return;
        }
        if (c == kCutSequence) {
          cut_.assign(data.substr(at));
          return;
        }
        at += length;
      } while (at < n && static_cast<unsigned char>(p[at]) >= 0x80);
      i = at;
      bits = i - block >= 64 ? 0 : bits & (~uint64_t{0} << (i - block));
    }
    i = std::max(i, block + 64);
  }
}

bool InputSurvey::Settled() const {
  if (encoding_ == FileEncoding::kNotText || (markSize_ == 0 && nul_)) return true;
  if (!formFeed_) return false;
  return markSize_ > 0 || (!utf8Valid_ && offset_ >= kTextCheckSize);
}

}  // namespace tamarack
