// Text in the Windows tests: code page 932 printed legibly in failure messages, and text pasted
// into a box. Window texts are read with RemoteWindowText.
#pragma once

#include <windows.h>

#include <string>

// Code page 932 bytes as UTF-8, so failure messages are legible.
std::string Utf8(const std::string& cp932);
// UTF-16 as UTF-8, for paths that code page 932 cannot hold.
std::string Utf8(const std::wstring& utf16);

// Pastes text in place of the whole text of an edit box, of this process or another, from the
// clipboard in UTF-16, as Explorer's "パスのコピー" or a mail puts it there. The box owns the
// clipboard meanwhile: on Windows a clipboard opened without an owner takes no data.
void PasteText(HWND box, const std::wstring& text);
