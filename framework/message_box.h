// The program's message boxes. Captions come before texts, unlike MessageBoxA.
#pragma once

#include <windows.h>

#include <string>

// Errors, notices and the converter's text.
const UINT kNoticeBoxType = MB_OK | MB_SYSTEMMODAL | MB_SETFOREGROUND;
// The confirmation question; Yes is the default button.
const UINT kQuestionBoxType = MB_YESNO | MB_SYSTEMMODAL | MB_SETFOREGROUND;

// MessageBoxA's result. An empty caption stays empty: it never becomes the default title.
int ShowMessage(HWND owner, std::string caption, std::string text, UINT type);
