// The program's message boxes.
#pragma once

#include <windows.h>

#include <string>

// MessageBoxA's result. An empty caption stays empty: it never becomes the default title.
int ShowMessage(HWND owner, const std::string& text, const std::string& caption, UINT type);
