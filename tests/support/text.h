// Text helpers for tests: reading windows and printing code page 932 in failure messages.
#pragma once

#include <windows.h>

#include <string>

// The window's whole text, as code page 932 bytes.
std::string WindowText(HWND hwnd);
// Code page 932 bytes as UTF-8, so failure messages are legible.
std::string Utf8(const std::string& cp932);
