// The entries of one conversion request and the fixed order in which they are checked.
#pragma once

#include <string>

struct RequestEntries {
  // Each path in code page 932. Where code page 932 cannot hold it, ...Held is false and the
  // path is as a message shows it, with '?' for each character that code page 932 lacks.
  std::string input;
  bool inputHeld = true;
  std::string output;
  bool outputHeld = true;
  // The checked field names in list order, each followed by one blank.
  std::string fields;
  bool useFullName = false;
  std::string domain;
};

// The error text for the first entry that fails its check: the input path (empty, then holding
// a character that code page 932 lacks, then a double quote), the output path (likewise), the
// fields, then, when the FullName option is on, the domain (empty, then holding a double quote).
// Empty when every entry passes.
std::string FirstEntryError(const RequestEntries& entries);

// The error text for a path that code page 932 cannot hold, path shown with a '?' in place of
// each character that it lacks; box names the box the path is in, or is empty for a path that
// came from elsewhere (a drop, a file dialog, the command line).
std::string UnnamablePathError(const std::string& box, const std::string& path);
