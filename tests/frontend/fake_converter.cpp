// A scriptable stand-in for the converter. When FAKE_CONVERTER_RECORD names a file, its command
// line is first appended to it, one a line. Then it runs, in order, the actions among its
// arguments and in FAKE_CONVERTER_ACTIONS (blank-separated); anything else is ignored:
//   out=N / erra=N / errj=N  N bytes "o" to standard output, "a" or 亜 (0x88 0x9F) to standard
//                            error, in writes of 4096 bytes
//   err=TEXT  TEXT to standard error      sleep=MS  sleeps      exit=N  the exit code
//   go=NAME / set=NAME  waits (at most 20 s) for / sets the named manual-reset event
//   crash  ends with an access violation
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

namespace {

void Write(DWORD which, const std::string& bytes) {
  for (size_t at = 0; at < bytes.size(); at += 4096) {
    DWORD written = 0;
    const size_t size = std::min<size_t>(4096, bytes.size() - at);
    WriteFile(GetStdHandle(which), bytes.data() + at, static_cast<DWORD>(size), &written, nullptr);
  }
}

}  // namespace

int main(int argc, char** argv) {
  const char* record = std::getenv("FAKE_CONVERTER_RECORD");
  if (FILE* file = record != nullptr ? std::fopen(record, "ab") : nullptr) {
    std::fprintf(file, "%s\n", GetCommandLineA());
    std::fclose(file);
  }
  const char* scripted = std::getenv("FAKE_CONVERTER_ACTIONS");
  std::string script = scripted != nullptr ? scripted : "";
  for (int i = 1; i < argc; ++i) script = script + " " + argv[i];
  std::istringstream actions(script);
  int exitCode = 0;
  for (std::string action; actions >> action;) {
    const size_t equals = action.find('=');
    const std::string verb = action.substr(0, equals);
    const std::string value = equals == std::string::npos ? "" : action.substr(equals + 1);
    const int number = std::atoi(value.c_str());
    if (verb == "out") Write(STD_OUTPUT_HANDLE, std::string(number, 'o'));
    if (verb == "err") Write(STD_ERROR_HANDLE, value);
    if (verb == "erra") Write(STD_ERROR_HANDLE, std::string(number, 'a'));
    if (verb == "errj") {
      std::string text;
      while (text.size() < 2u * number) text += "\x88\x9F";
      Write(STD_ERROR_HANDLE, text);
    }
    if (verb == "sleep") Sleep(number);
    if (verb == "go") WaitForSingleObject(CreateEventA(nullptr, TRUE, FALSE, value.c_str()), 20000);
    if (verb == "set") SetEvent(CreateEventA(nullptr, TRUE, FALSE, value.c_str()));
    if (verb == "exit") exitCode = number;
    if (verb == "crash") RaiseException(EXCEPTION_ACCESS_VIOLATION, EXCEPTION_NONCONTINUABLE, 0, 0);
  }
  return exitCode;
}
