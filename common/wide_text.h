// Text between UTF-16, in which Windows keeps every file name, and the narrow forms the programs
// hold: code page 932 (Shift-JIS) and UTF-8.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

// Code page 932, Microsoft's Shift-JIS: the code page of every narrow text of the programs.
inline constexpr UINT kShiftJis = 932;

// text, in codePage (kShiftJis or CP_UTF8), as UTF-16.
std::wstring WideFrom(UINT codePage, std::string_view text);

// text as UTF-8. False, with utf8 empty, when text holds a lone surrogate, which no UTF-8 holds:
// a name that cannot be carried unchanged.
bool Utf8FromWide(std::wstring_view text, std::string& utf8);

// text in code page 932 when it converts there and back unchanged. False otherwise: code page
// 932 lacks one of its characters, which the system's plain conversion would replace by a
// look-alike ("best fit": é by e, ¥ by the backslash) or by '?', naming another file.
bool Cp932FromWideExactly(std::wstring_view text, std::string& cp932);

// text in code page 932 as a message shows it: one '?' for each character that code page 932
// lacks, never a look-alike.
std::string Cp932ForDisplay(std::wstring_view text);
