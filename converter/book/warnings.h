// Warnings about the input, summed by kind: a count and the first few line numbers, so that a
// large address book yields one line per kind instead of one per occurrence.
#pragma once

#include <array>
#include <cstddef>
#include <vector>

namespace tamarack {

enum class Warning {
  kLongLine,     // a line or a value longer than the limit was cut
  kInvalidByte,  // a NUL byte, a broken double-byte character or invalid UTF-8 became '?'
  kUnmappable,   // a Unicode character without a code page 932 form became '?'
  kNoAsciiName,  // EMAIL could not be built: no FullName value in plain ASCII
};
constexpr size_t kWarningKinds = 4;

class WarningLog {
 public:
  static constexpr size_t kLinesKept = 5;

  // Records one occurrence at a line; a line already recorded last for this kind counts once.
  void Add(Warning kind, long line) {
    Entry& entry = entries_[static_cast<size_t>(kind)];
    if (!entry.lines.empty() && entry.lastLine == line) return;
    entry.lastLine = line;
    ++entry.count;
    if (entry.lines.size() < kLinesKept) entry.lines.push_back(line);
  }
  long Count(Warning kind) const { return entries_[static_cast<size_t>(kind)].count; }
  const std::vector<long>& Lines(Warning kind) const {
    return entries_[static_cast<size_t>(kind)].lines;
  }

 private:
  struct Entry {
    long count = 0;
    long lastLine = 0;
    std::vector<long> lines;
  };
  std::array<Entry, kWarningKinds> entries_;
};

}  // namespace tamarack
