#include "tests/support/text.h"

// Read as the window holds it and converted here: GetWindowTextA would convert back through the
// process's own code page and return the bytes that went in even when the window shows mojibake.
std::string WindowText(HWND hwnd) {
  std::wstring wide(static_cast<size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
  wide.resize(
      static_cast<size_t>(GetWindowTextW(hwnd, wide.data(), static_cast<int>(wide.size()))));
  const int length = static_cast<int>(wide.size());
  const int bytes = WideCharToMultiByte(932, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(932, 0, wide.data(), length, text.data(), bytes, nullptr, nullptr);
  return text;
}

std::string Utf8(const std::string& cp932) {
  const int wide =
      MultiByteToWideChar(932, 0, cp932.data(), static_cast<int>(cp932.size()), nullptr, 0);
  std::wstring utf16(static_cast<size_t>(wide), L'\0');
  MultiByteToWideChar(932, 0, cp932.data(), static_cast<int>(cp932.size()), utf16.data(), wide);
  const int bytes =
      WideCharToMultiByte(CP_UTF8, 0, utf16.data(), wide, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, utf16.data(), wide, utf8.data(), bytes, nullptr, nullptr);
  return utf8;
}
