// Drives TamarackUI.exe from another process with only what crosses process boundaries: window
// search and text, posted clicks, and list-view messages whose records live in a buffer
// allocated inside the target. Used by the end-to-end tests and the front-end benchmark.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <string>

// Polls every 10 ms until condition holds or timeoutMs pass; returns whether it held.
inline bool PollUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  while (!condition()) {
    if (GetTickCount64() >= deadline) return false;
    Sleep(10);
  }
  return true;
}

// A started program; one still running when the object goes (a failed test) is terminated.
class StartedProcess {
 public:
  StartedProcess() = default;
  StartedProcess(const StartedProcess&) = delete;
  StartedProcess& operator=(const StartedProcess&) = delete;
  ~StartedProcess() {
    if (info_.hProcess == nullptr) return;
    if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
      TerminateProcess(info_.hProcess, 3);
      WaitForSingleObject(info_.hProcess, 5000);
    }
    CloseHandle(info_.hProcess);
  }

  // Starts exePath, followed by arguments, with folder as its current directory; on failure,
  // error says why.
  bool Start(const std::string& exePath, const std::string& folder, std::string& error,
             DWORD creationFlags = 0, const std::string& arguments = "") {
    std::string commandLine = "\"" + exePath + "\"" + (arguments.empty() ? "" : " " + arguments);
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    if (!CreateProcessA(exePath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, creationFlags,
                        nullptr, folder.c_str(), &startup, &info_)) {
      error = "cannot start " + exePath + ": error " + std::to_string(GetLastError());
      return false;
    }
    CloseHandle(info_.hThread);
    return true;
  }

  bool WaitForExit(DWORD timeoutMs, DWORD& exitCode) {
    return WaitForSingleObject(info_.hProcess, timeoutMs) == WAIT_OBJECT_0 &&
           GetExitCodeProcess(info_.hProcess, &exitCode);
  }
  HANDLE Handle() const { return info_.hProcess; }
  DWORD Id() const { return info_.dwProcessId; }

 private:
  PROCESS_INFORMATION info_{};
};

// A window's text in code page 932, of any process: the system copies a sent WM_GETTEXT. Read
// wide, as the window shows it: the narrow message converts through the target's code page and
// would return the bytes that went in even when the window shows mojibake.
inline std::string RemoteWindowText(HWND hwnd) {
  wchar_t wide[4096] = {};
  char buffer[2 * 4096] = {};
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(hwnd, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(wide), SMTO_ABORTIFHUNG,
                      5000, &copied);
  WideCharToMultiByte(932, 0, wide, -1, buffer, sizeof(buffer), nullptr, nullptr);
  return buffer;
}

// The visible dialog titled "Tamarack" of the process, or its message box (#32770 with the
// static 0xFFFF; boxes are modal, so there is at most one); null when there is none.
inline HWND FindTopLevel(DWORD processId, bool messageBox) {
  for (HWND hwnd = nullptr; (hwnd = FindWindowExA(nullptr, hwnd, "#32770", nullptr));) {
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    const bool isBox = GetDlgItem(hwnd, 0xFFFF) != nullptr;
    if (owner == processId && IsWindowVisible(hwnd) && isBox == messageBox &&
        (isBox || RemoteWindowText(hwnd) == "Tamarack")) {
      return hwnd;
    }
  }
  return nullptr;
}
inline HWND FindMainDialog(DWORD processId) { return FindTopLevel(processId, false); }
inline HWND FindMessageBox(DWORD processId) { return FindTopLevel(processId, true); }

// Presses button id of a box as a click does. False when the box lacks it: Wine's box would
// end on any command id, so a wrong answer could pass unnoticed.
inline bool PressBoxButton(HWND box, int id) {
  HWND button = GetDlgItem(box, id);
  return button != nullptr && PostMessageA(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                                           reinterpret_cast<LPARAM>(button));
}

// A posted BM_CLICK returns at once, also when the handler opens a modal box.
inline void PostClick(HWND dialog, int controlId) {
  PostMessageA(GetDlgItem(dialog, controlId), BM_CLICK, 0, 0);
}

// The list view of another process, through a buffer allocated in that process for the
// LVITEMA record and, after it, the item's text.
class RemoteListView {
 public:
  RemoteListView(HANDLE process, HWND list)
      : process_(process),
        list_(list),
        remote_(static_cast<char*>(VirtualAllocEx(process, nullptr, sizeof(LVITEMA) + kTextSize,
                                                  MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE))) {}
  RemoteListView(const RemoteListView&) = delete;
  RemoteListView& operator=(const RemoteListView&) = delete;
  ~RemoteListView() {
    if (remote_ != nullptr) VirtualFreeEx(process_, remote_, 0, MEM_RELEASE);
  }

  std::string GetItemText(int row) const {
    LVITEMA item{};
    item.pszText = remote_ + sizeof(LVITEMA);
    item.cchTextMax = kTextSize;
    if (!WriteProcessMemory(process_, remote_, &item, sizeof(item), nullptr)) return "";
    // The answer is the length of the text copied into the buffer.
    const LRESULT length = SendMessageA(list_, LVM_GETITEMTEXTA, static_cast<WPARAM>(row),
                                        reinterpret_cast<LPARAM>(remote_));
    std::string text(length > 0 ? static_cast<size_t>(length) : 0, '\0');
    ReadProcessMemory(process_, item.pszText, text.data(), text.size(), nullptr);
    return text;
  }

  bool GetCheck(int row) const {
    const LRESULT state =
        SendMessageA(list_, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_STATEIMAGEMASK);
    return (static_cast<UINT>(state) & LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2);
  }
  bool SetCheck(int row, bool checked) {
    return SetState(row, INDEXTOSTATEIMAGEMASK(checked ? 2 : 1), LVIS_STATEIMAGEMASK);
  }
  bool Select(int row) {  // selects and focuses row, as a click on it does
    return SetState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  }

 private:
  static const int kTextSize = 256;

  bool SetState(int row, UINT state, UINT mask) {
    LVITEMA item{};
    item.state = state;
    item.stateMask = mask;
    return WriteProcessMemory(process_, remote_, &item, sizeof(item), nullptr) &&
           SendMessageA(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                        reinterpret_cast<LPARAM>(remote_));
  }

  HANDLE process_;
  HWND list_;
  char* remote_;
};
