#include "tests/system/remote_ui.h"

#include <commctrl.h>

#include <vector>

bool PollUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    if (condition()) return true;
    if (GetTickCount64() >= deadline) return false;
    Sleep(10);
  }
}

StartedProcess::~StartedProcess() {
  if (info_.hProcess == nullptr) return;
  if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
    TerminateProcess(info_.hProcess, 3);
    WaitForSingleObject(info_.hProcess, 5000);
  }
  CloseHandle(info_.hProcess);
}

bool StartedProcess::Start(const std::string& exePath, const std::string& folder,
                           std::string& error, DWORD creationFlags) {
  std::string commandLine = "\"" + exePath + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  if (!CreateProcessA(exePath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, creationFlags,
                      nullptr, folder.c_str(), &startup, &info_)) {
    error = "cannot start " + exePath + ": error " + std::to_string(GetLastError());
    info_ = PROCESS_INFORMATION{};
    return false;
  }
  CloseHandle(info_.hThread);
  info_.hThread = nullptr;
  return true;
}

bool StartedProcess::WaitForExit(DWORD timeoutMs, DWORD& exitCode) {
  if (WaitForSingleObject(info_.hProcess, timeoutMs) != WAIT_OBJECT_0) return false;
  return GetExitCodeProcess(info_.hProcess, &exitCode) != FALSE;
}

std::string RemoteWindowText(HWND hwnd) {
  // A sent WM_GETTEXT is copied across processes by the system; a timeout keeps a hung target
  // from hanging the driver.
  char buffer[4096] = {};
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof(buffer), reinterpret_cast<LPARAM>(buffer),
                           SMTO_ABORTIFHUNG, 5000, &copied)) {
    return std::string();
  }
  return std::string(buffer);
}

std::string Utf8(const std::string& cp932) {
  const int wide =
      MultiByteToWideChar(932, 0, cp932.data(), static_cast<int>(cp932.size()), nullptr, 0);
  std::wstring utf16(static_cast<size_t>(wide), L'\0');
  MultiByteToWideChar(932, 0, cp932.data(), static_cast<int>(cp932.size()), utf16.data(), wide);
  const int bytes =
      WideCharToMultiByte(CP_UTF8, 0, utf16.data(), wide, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, utf16.data(), wide, utf8.data(), bytes, nullptr, nullptr);
  return utf8;
}

namespace {

bool IsDialogClass(HWND hwnd) {
  char name[32] = {};
  GetClassNameA(hwnd, name, sizeof(name));
  return lstrcmpA(name, "#32770") == 0;
}

struct Search {
  DWORD processId;
  bool wantMessageBox;
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND hwnd, LPARAM lParam) {
  auto* search = reinterpret_cast<Search*>(lParam);
  DWORD owner = 0;
  GetWindowThreadProcessId(hwnd, &owner);
  if (owner != search->processId || !IsWindowVisible(hwnd) || !IsDialogClass(hwnd)) return TRUE;
  const bool isBox = GetDlgItem(hwnd, 0xFFFF) != nullptr;
  if (isBox != search->wantMessageBox) return TRUE;
  if (!isBox && RemoteWindowText(hwnd) != "Tamarack") return TRUE;
  search->found = hwnd;
  return FALSE;
}

HWND FindTopLevel(DWORD processId, bool wantMessageBox) {
  Search search{processId, wantMessageBox, nullptr};
  EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace

HWND FindMainDialog(DWORD processId) { return FindTopLevel(processId, false); }

HWND FindMessageBox(DWORD processId) { return FindTopLevel(processId, true); }

SeenBox ReadMessageBox(HWND box) {
  SeenBox seen;
  seen.box = box;
  seen.owner = GetWindow(box, GW_OWNER);
  seen.caption = RemoteWindowText(box);
  seen.text = RemoteWindowText(GetDlgItem(box, 0xFFFF));
  return seen;
}

bool PressBoxButton(HWND box, int id) {
  HWND button = GetDlgItem(box, id);
  if (button == nullptr) return false;
  return PostMessageA(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                      reinterpret_cast<LPARAM>(button)) != FALSE;
}

void PostClick(HWND dialog, int controlId) {
  PostMessageA(GetDlgItem(dialog, controlId), BM_CLICK, 0, 0);
}

namespace {

// Layout of the buffer in the target: the record first, the text after it.
const SIZE_T kRemoteSize = 4096;
const SIZE_T kTextOffset = 512;
const int kTextCapacity = 256;

}  // namespace

RemoteListView::RemoteListView(HANDLE process, HWND list) : process_(process), list_(list) {
  remote_ = static_cast<char*>(
      VirtualAllocEx(process_, nullptr, kRemoteSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
}

RemoteListView::~RemoteListView() {
  if (remote_ != nullptr) VirtualFreeEx(process_, remote_, 0, MEM_RELEASE);
}

int RemoteListView::GetItemCount() const {
  return static_cast<int>(SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0));
}

std::string RemoteListView::GetItemText(int row) const {
  LVITEMA item{};
  item.iSubItem = 0;
  item.pszText = remote_ + kTextOffset;
  item.cchTextMax = kTextCapacity;
  const char zeros[kTextCapacity] = {};
  if (!WriteProcessMemory(process_, remote_, &item, sizeof(item), nullptr) ||
      !WriteProcessMemory(process_, remote_ + kTextOffset, zeros, sizeof(zeros), nullptr)) {
    return std::string();
  }
  SendMessageA(list_, LVM_GETITEMTEXTA, static_cast<WPARAM>(row),
               reinterpret_cast<LPARAM>(remote_));
  char text[kTextCapacity + 1] = {};
  if (!ReadProcessMemory(process_, remote_ + kTextOffset, text, kTextCapacity, nullptr)) {
    return std::string();
  }
  return std::string(text);
}

bool RemoteListView::GetCheck(int row) const {
  const LRESULT state =
      SendMessageA(list_, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_STATEIMAGEMASK);
  return (static_cast<UINT>(state) & LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2);
}

bool RemoteListView::SetCheck(int row, bool checked) {
  return SetState(row, INDEXTOSTATEIMAGEMASK(checked ? 2 : 1), LVIS_STATEIMAGEMASK);
}

bool RemoteListView::Select(int row) {
  return SetState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

std::string RemoteListView::Rows() const {
  std::string rows;
  for (int row = 0; row < GetItemCount(); ++row) {
    if (row > 0) rows += ' ';
    rows += GetItemText(row);
  }
  return rows;
}

bool RemoteListView::SetState(int row, UINT state, UINT mask) {
  LVITEMA item{};
  item.state = state;
  item.stateMask = mask;
  if (!WriteProcessMemory(process_, remote_, &item, sizeof(item), nullptr)) return false;
  return SendMessageA(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                      reinterpret_cast<LPARAM>(remote_)) != FALSE;
}
