// Code page 932 and Unicode, converted by the converter's own table (cp932_table.inc, made from
// Microsoft's mapping), so that every build writes the same bytes for the same text.
#pragma once

#include <string>
#include <string_view>

namespace tamarack {

// What a conversion to code page 932 replaced with '?'.
struct Replaced {
  bool unmappable = false;  // characters that code page 932 lacks
  bool invalid = false;     // bytes that are no UTF-8 character
};

// Converts UTF-8 text to code page 932; each missing character and each invalid sequence
// becomes one '?'. No character grows: out must have room for utf8.size() bytes. Returns the
// end of what it wrote.
char* Utf8ToCp932(std::string_view utf8, char* out, Replaced& replaced);

// The same into a string.
Replaced Utf8ToCp932(std::string_view utf8, std::string& cp932);

// True when c is written as a double-byte character of code page 932.
bool IsDoubleByteChar(char32_t c);

// Appends code page 932 text as UTF-8. A byte or pair that is no character of code page 932
// becomes '?'.
void AppendCp932AsUtf8(std::string_view cp932, std::string& utf8);

}  // namespace tamarack
