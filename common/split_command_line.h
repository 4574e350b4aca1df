// How both programs read a raw Windows command line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Splits a raw command line as GetCommandLineW gives it, in UTF-16, in which every file name can
// be written: tokens are separated by blanks and tabs outside double quotes, the quotes are
// removed, and a backslash is an ordinary character, since no path can hold a quote to escape
// ("C:\dir\" is C:\dir\). The C runtime's own splitting would take \" for a quote and swallow
// the arguments that follow. The first token is the program.
std::vector<std::wstring> SplitCommandLine(std::wstring_view commandLine);
