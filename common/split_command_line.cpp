#include "common/split_command_line.h"

std::vector<std::wstring> SplitCommandLine(std::wstring_view commandLine) {
  std::vector<std::wstring> tokens;
  std::wstring token;
  bool inToken = false;
  bool quoted = false;
  for (wchar_t c : commandLine) {
    if (c == L'"') {
      quoted = !quoted;
      inToken = true;
    } else if ((c == L' ' || c == L'\t') && !quoted) {
      if (inToken) tokens.push_back(token);
      token.clear();
      inToken = false;
    } else {
      token += c;
      inToken = true;
    }
  }
  if (inToken) tokens.push_back(token);
  return tokens;
}
