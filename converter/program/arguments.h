// The converter's command line:
//   Tamarack INPUT OUTPUT [/E=FullName] [/D=domain] [/O=SJIS|UTF-8|UTF-8N] FIELD...
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "fields.h"

namespace tamarack {

// The CSV's encoding: code page 932 (what the front-end expects), UTF-8 with a byte order mark
// (which Excel needs to recognise UTF-8) or without one.
enum class OutputEncoding { kCp932, kUtf8WithMark, kUtf8 };

struct Arguments {
  bool help = false;  // "/?" anywhere: show the usage and do nothing else
  std::string input;
  std::string output;
  MappingOptions mapping;
  OutputEncoding outputEncoding = OutputEncoding::kCp932;
  std::vector<Field> fields;
};

// Parses the arguments that follow the program. Returns an empty string on success, otherwise
// the reason for the usage error in Japanese (code page 932).
std::string ParseArguments(const std::vector<std::string>& args, Arguments& parsed);

// A plausible mail domain: labels of ASCII letters, digits and inner hyphens, joined by dots.
bool IsPlausibleDomain(std::string_view domain);

}  // namespace tamarack
