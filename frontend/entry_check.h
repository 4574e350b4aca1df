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

// The error text for the first entry that fails its check: the input path (empty, then holding
// a double quote), the output path (likewise), the fields, then, when the FullName option is
// on, the domain (likewise). Null when every entry passes.
const char* FirstEntryError(const RequestEntries& entries);
