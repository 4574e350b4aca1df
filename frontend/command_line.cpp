#include "frontend/command_line.h"

#include "common/wide_text.h"

namespace {

const size_t kMaxCommandLine = 32767;

}  // namespace

std::string FullNameOptions(const std::string& domain) {
  return "\"/E=FullName\" \"/D=" + domain + "\"";
}

std::string ComposeCommandLine(const std::string& input, const std::string& output,
                               const std::string& options, const std::string& fields) {
  return "Tamarack.exe \"" + input + "\" \"" + output + "\" " + options + " " + fields;
}

bool FitsCommandLine(const std::string& commandLine) {
  return WideFrom(kShiftJis, commandLine).size() < kMaxCommandLine;
}

std::string ProgramName(const std::string& commandLine) {
  if (!commandLine.empty() && commandLine[0] == '"') {
    return commandLine.substr(1, commandLine.find('"', 1) - 1);
  }
  return commandLine.substr(0, commandLine.find_first_of(" \t"));
}
