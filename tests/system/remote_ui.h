// Drives a running TamarackUI.exe from another process, with only what crosses process
// boundaries: window enumeration, window text, posted clicks and commands, and list-view
// messages whose structures live in a buffer allocated inside the target.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

// Polls condition every 10 ms until it holds or timeoutMs pass. Returns whether it held.
bool PollUntil(const std::function<bool()>& condition, DWORD timeoutMs);

// A process started by the driver. Still running when the object goes (a failed test), it is
// terminated, so no test leaves a program behind.
class StartedProcess {
 public:
  StartedProcess() = default;
  ~StartedProcess();
  StartedProcess(const StartedProcess&) = delete;
  StartedProcess& operator=(const StartedProcess&) = delete;

  // Starts the program at exePath with folder as its current directory and the given creation
  // flags. On failure, error says why.
  bool Start(const std::string& exePath, const std::string& folder, std::string& error,
             DWORD creationFlags = 0);
  // True when the process ended within timeoutMs; exitCode receives its exit code.
  bool WaitForExit(DWORD timeoutMs, DWORD& exitCode);
  HANDLE Handle() const { return info_.hProcess; }
  DWORD Id() const { return info_.dwProcessId; }

 private:
  PROCESS_INFORMATION info_{};
};

// The whole text of a window of any process (WM_GETTEXT), code page 932 bytes.
std::string RemoteWindowText(HWND hwnd);
// Code page 932 bytes as UTF-8, for legible failure messages.
std::string Utf8(const std::string& cp932);

// The visible dialog titled "Tamarack" of the process, or null.
HWND FindMainDialog(DWORD processId);
// The visible message box of the process (a #32770 window with the text static 0xFFFF), or
// null. A program has at most one at a time: its boxes are modal.
HWND FindMessageBox(DWORD processId);

// What a message box showed.
struct SeenBox {
  HWND box = nullptr;
  HWND owner = nullptr;
  std::string caption;  // code page 932
  std::string text;     // code page 932
};
SeenBox ReadMessageBox(HWND box);

// Presses button id of a message box, as a click does. False when the box has no such
// button: Wine's box would end on any command id, so a wrong answer could pass unnoticed.
bool PressBoxButton(HWND box, int id);

// Posts BM_CLICK to a dialog control: a click that returns at once, also when the handler
// opens a modal box.
void PostClick(HWND dialog, int controlId);

// The list view of another process, through a buffer allocated in that process for the
// LVITEMA records and texts that list-view messages point to.
class RemoteListView {
 public:
  RemoteListView(HANDLE process, HWND list);
  ~RemoteListView();
  RemoteListView(const RemoteListView&) = delete;
  RemoteListView& operator=(const RemoteListView&) = delete;

  // False when no buffer could be allocated in the target.
  bool IsUsable() const { return remote_ != nullptr; }
  int GetItemCount() const;
  std::string GetItemText(int row) const;
  bool GetCheck(int row) const;
  bool SetCheck(int row, bool checked);
  // Selects and focuses row, as a click on it does.
  bool Select(int row);
  // The rows' texts in display order, joined by blanks: a compact picture for assertions.
  std::string Rows() const;

 private:
  bool SetState(int row, UINT state, UINT mask);

  HANDLE process_;
  HWND list_;
  char* remote_ = nullptr;
};
