// A scriptable stand-in for the converter. When FAKE_CONVERTER_RECORD names a file, its command
// line is first appended to it, one a line. Then it runs, in order, the actions among its
// arguments and in FAKE_CONVERTER_ACTIONS (blank-separated); anything else is ignored:
//   out=N     N bytes "o" to standard output
//   err=TEXT  TEXT to standard error                exit=N  the exit code
//   errhex=HEX  the bytes written in HEX (two digits each) to standard error
//   close=HWND  posts WM_CLOSE to that window and waits (at most 20 s) until it is gone
//   signal=NAME  sets the named event       wait=NAME  waits (at most 20 s) for the named event
//   crash  ends with an access violation
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

int main(int argc, char** argv) {
  // A crash ends the process at once: no error-reporting window holds it on Windows.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
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
  DWORD written = 0;
  for (std::string action; actions >> action;) {
    const size_t equals = action.find('=');
    const std::string verb = action.substr(0, equals);
    const std::string value = equals == std::string::npos ? "" : action.substr(equals + 1);
    std::string text = verb == "out" ? std::string(std::atoi(value.c_str()), 'o') : value;
    if (verb == "errhex") {
      text.clear();
      for (size_t i = 0; i + 1 < value.size(); i += 2) {
        text += static_cast<char>(std::strtoul(value.substr(i, 2).c_str(), nullptr, 16));
      }
    }
    if (verb == "out" || verb == "err" || verb == "errhex") {
      WriteFile(GetStdHandle(verb == "out" ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE), text.data(),
                static_cast<DWORD>(text.size()), &written, nullptr);
    }
    const auto window =
        reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::strtoull(value.c_str(), nullptr, 10)));
    if (verb == "close") PostMessageA(window, WM_CLOSE, 0, 0);
    for (int waits = 0; verb == "close" && IsWindow(window) && waits < 2000; ++waits) Sleep(10);
    if (verb == "signal" || verb == "wait") {
      HANDLE event = OpenEventA(SYNCHRONIZE | EVENT_MODIFY_STATE, FALSE, value.c_str());
      if (verb == "signal") SetEvent(event);
      if (verb == "wait") WaitForSingleObject(event, 20000);
      CloseHandle(event);
    }
    if (verb == "exit") exitCode = std::atoi(value.c_str());
    if (verb == "crash") RaiseException(EXCEPTION_ACCESS_VIOLATION, EXCEPTION_NONCONTINUABLE, 0, 0);
  }
  return exitCode;
}
