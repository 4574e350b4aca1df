// The benchmark's yardstick: runs "Tamarack.exe" from this program's folder with the unpaced
// polling loop (a process poll and a message poll that both return at once, no wait), so the
// front-end's paced runner can be measured beside it in the same run. A copy of that loop for
// measuring only; the product does not contain it.
#include <windows.h>

#include <initializer_list>

namespace {

void DrainOnce(HANDLE pipe, char* buffer, DWORD capacity) {
  DWORD available = 0;
  if (PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr) && available > 0) {
    DWORD read = 0;
    ReadFile(pipe, buffer, capacity, &read, nullptr);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  SECURITY_ATTRIBUTES attributes{sizeof(attributes), nullptr, TRUE};
  HANDLE outRead = nullptr, outWrite = nullptr, errRead = nullptr, errWrite = nullptr;
  CreatePipe(&outRead, &outWrite, &attributes, 8192);
  CreatePipe(&errRead, &errWrite, &attributes, 8192);
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = outWrite;
  startup.hStdError = errWrite;
  char commandLine[] = "Tamarack.exe \"in.txt\" \"out.csv\"  EMAIL ";
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, commandLine, &attributes, nullptr, TRUE, DETACHED_PROCESS, nullptr,
                      nullptr, &startup, &process)) {
    return 1;
  }
  static char buffer[8192];
  DWORD poll = WAIT_TIMEOUT;
  do {
    poll = WaitForSingleObject(process.hProcess, 0);
    DrainOnce(outRead, buffer, sizeof(buffer) - 1);
    DrainOnce(errRead, buffer, sizeof(buffer) - 1);
    MSG msg;
    if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  } while (poll == WAIT_TIMEOUT);
  for (HANDLE handle : {process.hProcess, process.hThread, outWrite, outRead, errWrite, errRead}) {
    CloseHandle(handle);
  }
  return 0;
}
