// How both programs read a raw Windows command line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Splits a raw command line (code page 932, as GetCommandLineA gives it): tokens are separated
// by blanks and tabs outside double quotes, the quotes are removed, and a backslash is an
// ordinary character, since no path can hold a quote to escape ("C:\dir\" is C:\dir\). The C
// runtime's own splitting would take \" for a quote and swallow the arguments that follow. None
// of these bytes can be the second byte of a double-byte character, so the split goes byte by
// byte. The first token is the program.
std::vector<std::string> SplitCommandLine(std::string_view commandLine);
