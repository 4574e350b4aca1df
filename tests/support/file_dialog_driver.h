// Answers the open and save dialogs that the test thread shows, while the object lives.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <deque>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// What an explorer-style open or save dialog showed when it was ready (code page 932 bytes).
struct SeenFileDialog {
  HWND owner = nullptr;
  std::string fileNameAtOpen;
  // Label and pattern pairs up to the first empty label, as the system reads the list.
  std::vector<std::pair<std::string, std::string>> filters;
  DWORD flags = 0;  // with the bits the system implies (OFN_FILEMUSTEXIST: OFN_PATHMUSTEXIST)
};

// Works for dialogs with OFN_EXPLORER | OFN_ENABLEHOOK: it acts when CDN_INITDONE has reached
// the hook's child dialog, which a WH_CALLWNDPROCRET hook on the thread sees. Each dialog is
// driven from that one place only (pressing OK twice while an overwrite prompt is up crashes
// Wine); a prompt or error box the dialog then opens is left to a MessageBoxInterceptor.
class FileDialogDriver {
 public:
  FileDialogDriver();
  // Fails the test when an answer was scripted for a dialog that never came.
  ~FileDialogDriver();
  FileDialogDriver(const FileDialogDriver&) = delete;
  FileDialogDriver& operator=(const FileDialogDriver&) = delete;

  void Cancel() { answers_.emplace_back(); }
  // Scripts the next dialog to be answered with path, typed into the file-name box. An open
  // dialog needs an existing file, a save dialog an existing folder, or it stays open.
  void Choose(const std::string& path) { answers_.emplace_back(path); }

  // Every dialog seen so far. One with no scripted answer fails the test and is cancelled.
  const std::vector<SeenFileDialog>& Dialogs() const { return dialogs_; }

 private:
  static LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam);
  void OnDialogReady(HWND dialog, const OPENFILENAMEA& settings);

  HHOOK hook_ = nullptr;
  std::deque<std::optional<std::string>> answers_;  // empty: cancel
  std::vector<SeenFileDialog> dialogs_;
};
