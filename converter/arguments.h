// The converter's command line:
//   Tamarack INPUT OUTPUT [/E=FullName] [/D=domain] FIELD...
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "fields.h"

namespace tamarack {

struct Arguments {
  bool help = false;  // "/?" anywhere: show the usage and do nothing else
  std::string input;
  std::string output;
  MappingOptions mapping;
  std::vector<Field> fields;
};

// Splits a raw Windows command line: tokens are separated by blanks and tabs outside double
// quotes, the quotes are removed, and a backslash is an ordinary character ("C:\dir\" is
// C:\dir\). The first token is the program.
std::vector<std::string> SplitCommandLine(std::string_view commandLine);

// Parses the arguments that follow the program. Returns an empty string on success, otherwise
// the reason for the usage error in Japanese (code page 932).
std::string ParseArguments(const std::vector<std::string>& args, Arguments& parsed);

// A plausible mail domain: labels of ASCII letters, digits and inner hyphens, joined by dots.
bool IsPlausibleDomain(std::string_view domain);

}  // namespace tamarack
