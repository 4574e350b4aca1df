#include "tests/support/text.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "common/wide_text.h"

std::string Utf8(const std::string& cp932) { return Utf8(WideFrom(932, cp932)); }

std::string Utf8(const std::wstring& utf16) {
  std::string utf8;
  Utf8FromWide(utf16, utf8);
  return utf8;
}

void PasteText(HWND box, const std::wstring& text) {
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
  std::copy(text.c_str(), text.c_str() + text.size() + 1,
            static_cast<wchar_t*>(GlobalLock(memory)));
  GlobalUnlock(memory);
  if (!OpenClipboard(box)) {
    GlobalFree(memory);
    ADD_FAILURE() << "the clipboard is not free";
    return;
  }
  EmptyClipboard();
  SetClipboardData(CF_UNICODETEXT, memory);
  CloseClipboard();
  SendMessageW(box, EM_SETSEL, 0, -1);
  SendMessageW(box, WM_PASTE, 0, 0);
}
