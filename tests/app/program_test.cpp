// The real TamarackUI.exe as a process: its dialog shows centred and Escape ends it with 0.
#include <windows.h>

#include <gtest/gtest.h>

#include "resources/resource.h"
#include "tests/support/pump.h"

namespace {

HWND FindDialog(DWORD processId) {
  HWND hwnd = nullptr;
  while ((hwnd = FindWindowExA(nullptr, hwnd, "#32770", "Tamarack")) != nullptr) {
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    if (owner == processId && IsWindowVisible(hwnd)) return hwnd;
  }
  return nullptr;
}

TEST(ProgramTest, ShowsTheCentredDialogAndEscapeEndsItWithZero) {
  // Found by the platform's search, which looks in this program's own folder first.
  char commandLine[] = "TamarackUI.exe";
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  // A minimised start command must not matter: the program shows its dialog normally.
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWMINNOACTIVE;
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &process))
      << "cannot start " << commandLine << ": error " << GetLastError();
  CloseHandle(process.hThread);

  HWND dialog = nullptr;
  if (PumpUntil([&] { return (dialog = FindDialog(process.dwProcessId)) != nullptr; }, 20000)) {
    EXPECT_FALSE(IsIconic(dialog));
    RECT rect{}, work{};
    GetWindowRect(dialog, &rect);
    SystemParametersInfoA(SPI_GETWORKAREA, sizeof(work), &work, 0);
    EXPECT_NEAR(rect.left + rect.right, work.left + work.right, 2);
    EXPECT_NEAR(rect.top + rect.bottom, work.top + work.bottom, 2);
    // Offered to the dialog's navigation by the program's loop, Escape gives IDCANCEL.
    HWND domain = GetDlgItem(dialog, IDC_DOMAIN);
    const LPARAM lParam = MAKELPARAM(1, MapVirtualKeyA(VK_ESCAPE, MAPVK_VK_TO_VSC));
    PostMessageA(domain, WM_KEYDOWN, VK_ESCAPE, lParam);
    PostMessageA(domain, WM_KEYUP, VK_ESCAPE, lParam | 0xC0000000);
  } else {
    ADD_FAILURE() << "the dialog titled Tamarack did not appear within 20 s";
    TerminateProcess(process.hProcess, 1);
  }
  EXPECT_EQ(WaitForSingleObject(process.hProcess, 20000), WAIT_OBJECT_0)
      << "the program did not end within 20 s of Escape";
  DWORD exitCode = 1234;
  GetExitCodeProcess(process.hProcess, &exitCode);
  EXPECT_EQ(exitCode, 0u);
  CloseHandle(process.hProcess);
}

}  // namespace
