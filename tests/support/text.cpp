#include "tests/support/text.h"

#include "common/wide_text.h"

std::string Utf8(const std::string& cp932) { return Utf8(WideFrom(932, cp932)); }

std::string Utf8(const std::wstring& utf16) {
  std::string utf8;
  Utf8FromWide(utf16, utf8);
  return utf8;
}
