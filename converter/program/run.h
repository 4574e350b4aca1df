// One run of the converter, apart from the process: the caller hands in the arguments and
// writes out the two texts.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace tamarack {

enum ExitCode { kExitSuccess = 0, kExitFailed = 1, kExitUsage = 2 };

// The input is read in pieces of this size.
constexpr size_t kReadSize = 1024 * 1024;

// Converts as the arguments (without the program name) ask. out receives the one-line summary
// (or the usage for "/?"), err every error and the summed warnings, in Japanese, code page 932,
// lines ended by '\n'. Returns an ExitCode; 0 also when there were warnings.
int Run(const std::vector<std::string>& args, std::string& out, std::string& err);

// Writes Run's texts: out to standard output, then err to standard error, with a warning when
// standard output does not take out.
void WriteTexts(const std::string& out, std::string err);

}  // namespace tamarack
