// The converter's command line, composed from the request's values.
#pragma once

#include <string>

// The options that make the converter build EMAIL from FullName with domain.
std::string FullNameOptions(const std::string& domain);

// "Tamarack.exe \"input\" \"output\" options fields", each value inserted unchanged. Composed
// at whatever length the values need: the longest entries the dialog gives (three texts of
// 1023 bytes and six field names) stay far below the 32767 characters CreateProcessA accepts.
std::string ComposeCommandLine(const std::string& input, const std::string& output,
                               const std::string& options, const std::string& fields);

// The program a command line starts: its first token, without quotes.
std::string ProgramName(const std::string& commandLine);
