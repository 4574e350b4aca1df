#include "app/start_paths.h"

#include <windows.h>

#include <vector>

namespace {

// Neither a quote nor a blank or tab can be the second byte of a double-byte character of code
// page 932, so the line is split byte by byte.
std::vector<std::string> SplitArguments(const std::string& commandLine) {
  std::vector<std::string> arguments;
  std::string argument;
  bool inArgument = false;
  bool quoted = false;
  for (const char c : commandLine) {
    if (c == '"') {
      quoted = !quoted;
      inArgument = true;
    } else if ((c == ' ' || c == '\t') && !quoted) {
      if (inArgument) arguments.push_back(argument);
      argument.clear();
      inArgument = false;
    } else {
      argument += c;
      inArgument = true;
    }
  }
  if (inArgument) arguments.push_back(argument);
  return arguments;
}

}  // namespace

StartPaths StartPathsFromCommandLine(const std::string& commandLine) {
  const std::vector<std::string> arguments = SplitArguments(commandLine);
  StartPaths paths;
  // The first argument is the program itself.
  if (arguments.size() > 1) paths.input = arguments[1];
  if (arguments.size() > 2) paths.output = arguments[2];
  return paths;
}

std::string FullPathName(const std::string& path) {
  if (path.empty()) return path;
  const DWORD size = GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
  if (size == 0) return path;
  std::string full(size, '\0');
  const DWORD length = GetFullPathNameA(path.c_str(), size, full.data(), nullptr);
  if (length == 0 || length >= size) return path;
  full.resize(length);
  return full;
}
