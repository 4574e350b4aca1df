// The entries of one conversion request and the fixed order in which they are checked.
#pragma once

#include <string>

struct RequestEntries {
  std::string input;
  std::string output;
  // The checked field names in list order, each followed by one blank.
  std::string fields;
  bool useFullName = false;
  std::string domain;
};

// The error text for the first entry that fails its check: the input path, the output path,
// the fields, then the domain when the FullName option is on. Null when every entry passes.
const char* FirstEntryError(const RequestEntries& entries);
