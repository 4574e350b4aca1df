// Answers the open and save dialogs that the test thread shows, while the object lives.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <deque>
#include <string>
#include <utility>
#include <vector>

// What an explorer-style open or save dialog showed when it was ready (code page 932 bytes).
struct SeenFileDialog {
  HWND owner = nullptr;
  std::string title;
  // The file-name box's text before the driver touched it.
  std::string fileNameAtOpen;
  // The filter list handed to the system, read as the system reads it: label and pattern
  // pairs up to the first empty label.
  std::vector<std::pair<std::string, std::string>> filters;
  // The labels of the dialog's file-type box, as the user sees them.
  std::vector<std::string> fileTypes;
  std::string defaultExtension;
  // As the system holds them by then: it adds implied bits (OFN_FILEMUSTEXIST brings
  // OFN_PATHMUSTEXIST, so an open dialog shows 0x281824).
  DWORD flags = 0;
  DWORD structSize = 0;
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

  // Scripts the next dialog to be cancelled.
  void Cancel();
  // Scripts the next dialog to be answered with path: typed into the file-name box, then OK.
  // An open dialog needs an existing file, a save dialog an existing folder; otherwise the
  // dialog stays open and reports the problem in a box.
  void Choose(const std::string& path);

  // Every dialog seen so far, in order. A dialog with no scripted answer fails the test and is
  // cancelled.
  const std::vector<SeenFileDialog>& Dialogs() const { return dialogs_; }

 private:
  struct Answer {
    bool choose;
    std::string path;
  };

  static LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam);
  void OnDialogReady(HWND dialog, const OPENFILENAMEA& settings);

  HHOOK hook_ = nullptr;
  std::deque<Answer> answers_;
  std::vector<SeenFileDialog> dialogs_;
};
