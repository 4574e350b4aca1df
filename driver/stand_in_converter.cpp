// Stands in for Tamarack.exe in the front-end benchmark and the end-to-end tests: records the raw
// command line (GetCommandLineA, unchanged bytes) in received-command-line.txt beside itself, works
// TAMARACK_STAND_IN_MS milliseconds (none when unset) writing a line to standard output every
// 100 ms, then writes finished.txt beside itself and exits with 0.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

int main() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path);
  folder.erase(folder.find_last_of('\\') + 1);
  std::ofstream(folder + "received-command-line.txt", std::ios::binary) << GetCommandLineA();
  const char* workMs = std::getenv("TAMARACK_STAND_IN_MS");
  for (long left = workMs ? std::strtol(workMs, nullptr, 10) : 0; left > 0; left -= 100) {
    Sleep(100);
    std::puts("working");
    std::fflush(stdout);
  }
  std::ofstream(folder + "finished.txt").put('\n');
  return 0;
}
