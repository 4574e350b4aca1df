#include "common/wide_text.h"

namespace {

std::string NarrowFrom(UINT codePage, DWORD flags, std::wstring_view text, BOOL* usedDefault) {
  if (text.empty()) return std::string();
  const int size = static_cast<int>(text.size());
  const int length =
      WideCharToMultiByte(codePage, flags, text.data(), size, nullptr, 0, nullptr, nullptr);
  std::string narrow(static_cast<size_t>(length), '\0');
  if (length == 0 || WideCharToMultiByte(codePage, flags, text.data(), size, narrow.data(), length,
                                         nullptr, usedDefault) != length) {
    return std::string();
  }
  return narrow;
}

}  // namespace

std::wstring WideFrom(UINT codePage, std::string_view text) {
  if (text.empty()) return std::wstring();
  const int size = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  if (length > 0) MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), length);
  return wide;
}

bool Utf8FromWide(std::wstring_view text, std::string& utf8) {
  utf8 = NarrowFrom(CP_UTF8, WC_ERR_INVALID_CHARS, text, nullptr);
  return !utf8.empty() || text.empty();
}

bool Cp932FromWideExactly(std::wstring_view text, std::string& cp932) {
  BOOL usedDefault = FALSE;
  cp932 = NarrowFrom(kShiftJis, WC_NO_BEST_FIT_CHARS, text, &usedDefault);
  // The way back as well: a character that converts to bytes which read as another character
  // would still name another file.
  if (!usedDefault && WideFrom(kShiftJis, cp932) == text) return true;
  cp932.clear();
  return false;
}

std::string Cp932ForDisplay(std::wstring_view text) {
  // A character beyond the first 65,536 (an emoji) is two UTF-16 units, each of which would
  // become a '?' of its own; code page 932 holds none of them.
  std::wstring units;
  units.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const bool pair =
        IS_HIGH_SURROGATE(text[i]) && i + 1 < text.size() && IS_LOW_SURROGATE(text[i + 1]);
    units += pair ? L'?' : text[i];
    i += pair ? 1 : 0;
  }
  BOOL usedDefault = FALSE;
  return NarrowFrom(kShiftJis, WC_NO_BEST_FIT_CHARS, units, &usedDefault);
}
