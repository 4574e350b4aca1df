#include "replace_win.h"

#include <vector>

namespace tamarack {
namespace {

// A scanner or an indexer lets go of a file within a second or so.
constexpr ULONGLONG kHoldWaitMs = 2000;
constexpr DWORD kHoldPollMs = 50;

// Held by the commit's one step, and by the console's control handler, so that Ctrl+C,
// Ctrl+Break or a closed console window waits for the step to be done.
SRWLOCK gStep = SRWLOCK_INIT;
bool gCommitted = false;  // this process has put an output in place; written under gStep

// Until an output has its place, the console's events end the run as they do by default, and the
// temporary output goes with it. After, the run finishes its message and exits 0 while the event
// waits here, as the system waits for a handler before it ends the process of a closed window.
BOOL WINAPI OnConsoleEvent(DWORD) {
  AcquireSRWLockShared(&gStep);
  const bool committed = gCommitted;
  ReleaseSRWLockShared(&gStep);
  if (!committed) return FALSE;
  Sleep(INFINITE);
  return TRUE;
}

}  // namespace

SetFileInformationFunction renameByHandle = &SetFileInformationByHandle;

bool SetDeleteOnClose(HANDLE file, bool remove) {
  FILE_DISPOSITION_INFO disposition{};
  disposition.DeleteFile = remove;
  return SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition) !=
         FALSE;
}

bool IsHold(SystemError error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

SystemError WaitingOutHolds(const std::function<SystemError()>& attempt) {
  const ULONGLONG deadline = GetTickCount64() + kHoldWaitMs;
  for (;;) {
    const SystemError error = attempt();
    if (!IsHold(error) || GetTickCount64() >= deadline) return error;
    Sleep(kHoldPollMs);
  }
}

SystemError Unheld(const std::wstring& path) {
  // Shared with no one, so the open fails while any other program has the file open.
  const HANDLE probe = CreateFileW(path.c_str(), DELETE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (probe == INVALID_HANDLE_VALUE) {
    const SystemError error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND ? 0 : error;
  }
  CloseHandle(probe);
  return 0;
}

SystemError PutInPlace(HANDLE file, const std::wstring& target) {
  SystemError error = Unheld(target);
  if (error) return error;
  std::vector<char> bytes(sizeof(FILE_RENAME_INFO) + target.size() * sizeof(wchar_t));
  FILE_RENAME_INFO& rename = *reinterpret_cast<FILE_RENAME_INFO*>(bytes.data());
  rename.ReplaceIfExists = TRUE;
  rename.RootDirectory = nullptr;
  rename.FileNameLength = static_cast<DWORD>(target.size() * sizeof(wchar_t));
  target.copy(rename.FileName, target.size());
  static const bool handled = SetConsoleCtrlHandler(&OnConsoleEvent, TRUE) != FALSE;
  static_cast<void>(handled);
  AcquireSRWLockExclusive(&gStep);
  // Between these two calls alone a run ended from outside (End task, a crash) leaves the file:
  // see RemoveLeftovers. A file renamed while it is to be removed would be removed under its
  // new name.
  const bool renamed =
      SetDeleteOnClose(file, false) &&
      renameByHandle(file, FileRenameInfo, &rename, static_cast<DWORD>(bytes.size()));
  error = renamed ? 0 : GetLastError();
  if (renamed) {
    gCommitted = true;
  } else {
    SetDeleteOnClose(file, true);
  }
  ReleaseSRWLockExclusive(&gStep);
  if (renamed) return 0;
  // Refused as access denied, for a program that opened target in the meantime: that program
  // holds it still, or has let go already (another run's commit, say), when target now opens
  // as the rename needs it.
  if (error == ERROR_ACCESS_DENIED) {
    const SystemError now = Unheld(target);
    if (now == 0 || IsHold(now)) return ERROR_SHARING_VIOLATION;
  }
  return error;
}

}  // namespace tamarack
