// Drives TamarackUI.exe from another process with only what crosses process boundaries: window
// search and text, posted clicks and keys. Used by the end-to-end tests and the front-end
// benchmark.
#pragma once

#include <windows.h>
#include <dlgs.h>

#include <functional>
#include <string>

#include "common/wide_text.h"
#include "driver/message_box_window.h"

// The folder of the running program, with its final backslash.
inline std::string OwnFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path);
  return folder.substr(0, folder.find_last_of('\\') + 1);
}

// Polls every 10 ms until condition holds or timeoutMs pass; returns whether it held.
inline bool PollUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  while (!condition()) {
    if (GetTickCount64() >= deadline) return false;
    Sleep(10);
  }
  return true;
}

// Standard streams for a program to start: given (not null), they are its only ones, and it
// inherits them with the starting process's other inheritable handles.
struct StandardHandles {
  HANDLE output = nullptr;
  HANDLE error = nullptr;
};

// A started program; one still running when the object goes (a failed test) is terminated.
class StartedProcess {
 public:
  StartedProcess() = default;
  StartedProcess(const StartedProcess&) = delete;
  StartedProcess& operator=(const StartedProcess&) = delete;
  ~StartedProcess() { End(); }

  // Starts exePath, followed by arguments, in folder (empty: this process's current one), after
  // ending the one this object started before; on failure, GetLastError says why. It is asked to
  // start minimised, as a shortcut can ask: the front-end must show its dialog normally all the
  // same. The command line is wide, as the shell gives it, so it can name files that code page
  // 932 cannot.
  bool Start(const std::wstring& exePath, const std::wstring& folder, DWORD creationFlags = 0,
             const std::wstring& arguments = L"", StandardHandles handles = {}) {
    End();
    std::wstring commandLine =
        L"\"" + exePath + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWMINNOACTIVE;
    const bool inherit = handles.output != nullptr || handles.error != nullptr;
    if (inherit) {
      startup.dwFlags |= STARTF_USESTDHANDLES;
      startup.hStdOutput = handles.output;
      startup.hStdError = handles.error;
    }
    if (!CreateProcessW(exePath.c_str(), commandLine.data(), nullptr, nullptr, inherit,
                        creationFlags, nullptr, folder.empty() ? nullptr : folder.c_str(), &startup,
                        &info_)) {
      return false;
    }
    CloseHandle(info_.hThread);
    return true;
  }
  // The same with code page 932 text.
  bool Start(const std::string& exePath, const std::string& folder, DWORD creationFlags = 0,
             const std::string& arguments = "") {
    return Start(WideFrom(kShiftJis, exePath), WideFrom(kShiftJis, folder), creationFlags,
                 WideFrom(kShiftJis, arguments));
  }

  bool WaitForExit(DWORD timeoutMs, DWORD& exitCode) {
    return WaitForSingleObject(info_.hProcess, timeoutMs) == WAIT_OBJECT_0 &&
           GetExitCodeProcess(info_.hProcess, &exitCode);
  }
  HANDLE Handle() const { return info_.hProcess; }
  DWORD Id() const { return info_.dwProcessId; }

 private:
  void End() {
    if (info_.hProcess == nullptr) return;
    if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
      TerminateProcess(info_.hProcess, 3);
      WaitForSingleObject(info_.hProcess, 5000);
    }
    CloseHandle(info_.hProcess);
    info_ = {};
  }

  PROCESS_INFORMATION info_{};
};

// A window's whole text in code page 932, of any process: the system copies a sent WM_GETTEXT.
// Read wide, as the window shows it: the narrow message converts through the target's code page
// and would return the bytes that went in even when the window shows mojibake. A character that
// code page 932 lacks reads as '?', never as a look-alike that could pass for another name.
inline std::string RemoteWindowText(HWND hwnd) {
  DWORD_PTR length = 0;
  SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length);
  std::wstring wide(length + 1, L'\0');
  SendMessageTimeoutW(hwnd, WM_GETTEXT, wide.size(), reinterpret_cast<LPARAM>(wide.data()),
                      SMTO_ABORTIFHUNG, 5000, &length);
  wide.resize(length);
  return Cp932ForDisplay(wide);
}

// The process's first visible dialog-class window that is such a window; null when there is
// none. Message boxes and file dialogs are modal, so there is at most one of each.
template <typename Predicate>
HWND FindTopLevel(DWORD processId, Predicate is) {
  for (HWND hwnd = nullptr; (hwnd = FindWindowExA(nullptr, hwnd, "#32770", nullptr));) {
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    if (owner == processId && IsWindowVisible(hwnd) && is(hwnd)) return hwnd;
  }
  return nullptr;
}
inline HWND FindMainDialog(DWORD processId) {
  return FindTopLevel(processId, [](HWND hwnd) { return RemoteWindowText(hwnd) == "Tamarack"; });
}
inline HWND FindMessageBox(DWORD processId) { return FindTopLevel(processId, IsMessageBox); }
// An open or save dialog: it has a file-name box. Under Wine that is a combo box (cmb13) with
// the full-size record and an edit box (edt1) with the older one the program uses.
inline HWND FileNameBox(HWND dialog) {
  return GetDlgItem(dialog, GetDlgItem(dialog, cmb13) != nullptr ? cmb13 : edt1);
}
inline HWND FindFileDialog(DWORD processId) {
  return FindTopLevel(processId, [](HWND hwnd) { return FileNameBox(hwnd) != nullptr; });
}

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
