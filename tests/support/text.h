// Printing code page 932 in failure messages. Window texts are read with RemoteWindowText.
#pragma once

#include <windows.h>

#include <string>

// Code page 932 bytes as UTF-8, so failure messages are legible.
std::string Utf8(const std::string& cp932);
// UTF-16 as UTF-8, for paths that code page 932 cannot hold.
std::string Utf8(const std::wstring& utf16);
