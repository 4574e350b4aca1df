// A stand-in for Tamarack.exe, for the system tests and the front-end benchmark. It records
// the raw command line it received (GetCommandLineA, unchanged bytes) in
// received-command-line.txt beside itself, then works for TAMARACK_STAND_IN_MS milliseconds
// (0 when unset), writing a line to standard output every 100 ms, then writes finished.txt
// beside itself and exits with 0.
#include <windows.h>

#include <cstdlib>
#include <string>

namespace {

std::string OwnFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path);
  return folder.substr(0, folder.find_last_of('\\') + 1);
}

void WriteWholeFile(const std::string& path, const char* bytes, DWORD size) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, bytes, size, &written, nullptr);
  CloseHandle(file);
}

}  // namespace

int main() {
  const std::string folder = OwnFolder();
  const char* commandLine = GetCommandLineA();
  WriteWholeFile(folder + "received-command-line.txt", commandLine, lstrlenA(commandLine));

  char value[32] = {};
  const DWORD length = GetEnvironmentVariableA("TAMARACK_STAND_IN_MS", value, sizeof(value));
  const long workMs = (length > 0 && length < sizeof(value)) ? std::strtol(value, nullptr, 10) : 0;
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  const char line[] = "working\r\n";
  for (long elapsed = 0; elapsed < workMs; elapsed += 100) {
    Sleep(100);
    DWORD written = 0;
    if (out != nullptr && out != INVALID_HANDLE_VALUE) {
      WriteFile(out, line, sizeof(line) - 1, &written, nullptr);
    }
  }
  WriteWholeFile(folder + "finished.txt", "", 0);
  return 0;
}
