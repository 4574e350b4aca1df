// Names in UTF-8 inside the converter's code page 932 texts, between two marks, so that each
// stream can give them in its own way (see MessageName).
#pragma once

#include <string>

namespace tamarack {

// No file name holds a control character, and MessageName replaces those of other arguments.
constexpr char kNameStart = '\x01';
constexpr char kNameEnd = '\x02';

// Calls take(piece, isName) for each piece of text in order: code page 932 text, or a marked
// name in UTF-8.
template <typename Take>
void ForEachPiece(const std::string& text, Take take) {
  size_t at = 0;
  while (at < text.size()) {
    const size_t start = text.find(kNameStart, at);
    take(text.substr(at, start - at), false);
    if (start == std::string::npos) return;
    const size_t end = text.find(kNameEnd, start);
    take(text.substr(start + 1, end - start - 1), true);
    if (end == std::string::npos) return;
    at = end + 1;
  }
}

}  // namespace tamarack
