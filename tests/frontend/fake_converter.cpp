// A scriptable stand-in for the converter. Its actions come from its arguments and then from
// the FAKE_CONVERTER_ACTIONS environment variable (blank-separated), and run in order:
//   out=N      writes N bytes to standard output
//   err=TEXT   writes TEXT to standard error
//   erra=N     writes N bytes "a" to standard error
//   errj=N     writes N double-byte characters "亜" (0x88 0x9F) to standard error
//   sleep=MS   sleeps
//   hold=NAME  creates the named mutex and owns it until the process ends
//   go=NAME    waits (at most 20 s) for the named manual-reset event
//   set=NAME   sets the named manual-reset event
//   exit=N     sets the exit code (default 0)
//   crash      ends with an access violation
// Other arguments (the request's own when it runs as Tamarack.exe) are ignored. When
// FAKE_CONVERTER_RECORD names a file, the command line is first appended to it, one a line.
#include <windows.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string Environment(const char* name) {
  char value[4096] = {};
  const DWORD length = GetEnvironmentVariableA(name, value, sizeof(value));
  return length < sizeof(value) ? std::string(value, length) : std::string();
}

void Record(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  const std::string line = std::string(GetCommandLineA()) + "\n";
  DWORD written = 0;
  WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  CloseHandle(file);
}

void Write(DWORD which, const std::string& bytes) {
  DWORD written = 0;
  WriteFile(GetStdHandle(which), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

void WriteRepeated(DWORD which, const std::string& unit, long count) {
  const long chunk = 4096;
  std::string block;
  for (long i = 0; i < chunk && i < count; ++i) block += unit;
  for (long left = count; left > 0; left -= chunk) {
    Write(which, left >= chunk ? block : block.substr(0, unit.size() * left));
  }
}

HANDLE NamedEvent(const std::string& name) {
  return CreateEventA(nullptr, TRUE, FALSE, name.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  const std::string record = Environment("FAKE_CONVERTER_RECORD");
  if (!record.empty()) Record(record);

  std::vector<std::string> actions(argv + 1, argv + argc);
  std::istringstream fromEnvironment(Environment("FAKE_CONVERTER_ACTIONS"));
  for (std::string action; fromEnvironment >> action;) actions.push_back(action);

  int exitCode = 0;
  for (const std::string& action : actions) {
    const size_t equals = action.find('=');
    const std::string verb = action.substr(0, equals);
    const std::string value = equals == std::string::npos ? "" : action.substr(equals + 1);
    const long number = std::atol(value.c_str());
    if (verb == "out") {
      WriteRepeated(STD_OUTPUT_HANDLE, "o", number);
    } else if (verb == "err") {
      Write(STD_ERROR_HANDLE, value);
    } else if (verb == "erra") {
      WriteRepeated(STD_ERROR_HANDLE, "a", number);
    } else if (verb == "errj") {
      WriteRepeated(STD_ERROR_HANDLE, "\x88\x9F", number);
    } else if (verb == "sleep") {
      Sleep(static_cast<DWORD>(number));
    } else if (verb == "hold") {
      CreateMutexA(nullptr, TRUE, value.c_str());
    } else if (verb == "go") {
      WaitForSingleObject(NamedEvent(value), 20000);
    } else if (verb == "set") {
      SetEvent(NamedEvent(value));
    } else if (verb == "exit") {
      exitCode = static_cast<int>(number);
    } else if (verb == "crash") {
      RaiseException(EXCEPTION_ACCESS_VIOLATION, EXCEPTION_NONCONTINUABLE, 0, nullptr);
    }
  }
  return exitCode;
}
