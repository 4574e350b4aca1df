#include "app/start_paths.h"

#include <windows.h>

#include <vector>

#include "common/split_command_line.h"
#include "common/wide_text.h"

StartPaths StartPathsFromCommandLine(const std::wstring& commandLine) {
  const std::vector<std::wstring> arguments = SplitCommandLine(commandLine);
  StartPaths paths;
  // The first argument is the program itself.
  if (arguments.size() > 1) paths.input = Cp932ForDisplay(arguments[1]);
  if (arguments.size() > 2) paths.output = Cp932ForDisplay(arguments[2]);
  return paths;
}

bool MayBecomeOutput(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
  }
  // '.' is never the second byte of a double-byte character, so the last four bytes are the
  // extension's own characters.
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && path.size() > 4 &&
         lstrcmpiA(path.c_str() + path.size() - 4, ".csv") == 0;
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
