// Starts the real TamarackUI.exe, finds its dialog, closes it and checks the exit code.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/support/text.h"

namespace {

struct Search {
  DWORD processId;
  HWND found;
};

BOOL CALLBACK MatchDialog(HWND hwnd, LPARAM lParam) {
  auto* search = reinterpret_cast<Search*>(lParam);
  DWORD owner = 0;
  GetWindowThreadProcessId(hwnd, &owner);
  if (owner == search->processId && IsWindowVisible(hwnd) && WindowText(hwnd) == "Tamarack") {
    search->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

HWND FindProcessDialog(DWORD processId) {
  Search search{processId, nullptr};
  EnumWindows(MatchDialog, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::string ProgramPath() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path);
  return folder.substr(0, folder.find_last_of('\\') + 1) + "TamarackUI.exe";
}

TEST(ProgramTest, ShowsTheCentredDialogAndExitsWithZeroWhenClosed) {
  std::string commandLine = "\"" + ProgramPath() + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  // A minimised start command must not matter: the program shows its dialog normally.
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWMINNOACTIVE;
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             nullptr, &startup, &process))
      << "cannot start " << commandLine << ": error " << GetLastError();
  CloseHandle(process.hThread);

  HWND dialog = nullptr;
  const ULONGLONG deadline = GetTickCount64() + 20000;
  while (dialog == nullptr && GetTickCount64() < deadline) {
    dialog = FindProcessDialog(process.dwProcessId);
    if (dialog == nullptr) Sleep(20);
  }
  if (dialog == nullptr) {
    TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hProcess);
    FAIL() << "the dialog titled Tamarack did not appear within 20 s";
  }
  EXPECT_FALSE(IsIconic(dialog));

  RECT rect{}, work{};
  GetWindowRect(dialog, &rect);
  SystemParametersInfoA(SPI_GETWORKAREA, sizeof(work), &work, 0);
  EXPECT_NEAR((rect.left + rect.right) / 2, (work.left + work.right) / 2, 1);
  EXPECT_NEAR((rect.top + rect.bottom) / 2, (work.top + work.bottom) / 2, 1);

  PostMessageA(dialog, WM_CLOSE, 0, 0);
  ASSERT_EQ(WaitForSingleObject(process.hProcess, 20000), WAIT_OBJECT_0)
      << "the program did not end within 20 s of WM_CLOSE";
  DWORD exitCode = 1234;
  GetExitCodeProcess(process.hProcess, &exitCode);
  EXPECT_EQ(exitCode, 0u);
  CloseHandle(process.hProcess);
}

}  // namespace
