// The converter's command line, composed from the request's values.
#pragma once

#include <string>

// The options that make the converter build EMAIL from FullName with domain.
std::string FullNameOptions(const std::string& domain);

// "Tamarack.exe \"input\" \"output\" options fields", each value inserted unchanged, at
// whatever length the values need.
std::string ComposeCommandLine(const std::string& input, const std::string& output,
                               const std::string& options, const std::string& fields);

// Whether CreateProcessA takes commandLine (code page 932): 32,767 characters, its terminating
// NUL among them. Paths in the boxes have no limit of their own.
bool FitsCommandLine(const std::string& commandLine);

// The program a command line starts: its first token, without quotes.
std::string ProgramName(const std::string& commandLine);
