#include "app/start_paths.h"

#include <windows.h>

#include <vector>

#include "common/split_command_line.h"

StartPaths StartPathsFromCommandLine(const std::wstring& commandLine) {
  const std::vector<std::wstring> arguments = SplitCommandLine(commandLine);
  StartPaths paths;
  // The first argument is the program itself.
  if (arguments.size() > 1) paths.input = arguments[1];
  if (arguments.size() > 2) paths.output = arguments[2];
  return paths;
}

std::wstring FullPathName(const std::wstring& path) {
  if (path.empty()) return path;
  const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (size == 0) return path;
  std::wstring full(size, L'\0');
  const DWORD length = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
  if (length == 0 || length >= size) return path;
  full.resize(length);
  return full;
}
