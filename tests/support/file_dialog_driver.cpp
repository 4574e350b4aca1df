#include "tests/support/file_dialog_driver.h"

#include <dlgs.h>
#include <gtest/gtest.h>

#include "tests/support/text.h"

// The one driver of the thread (tests run on one thread).
static FileDialogDriver* active = nullptr;

// A full-size record gives the dialog a file-name combo box, the older record an edit box.
static HWND FileNameBox(HWND dialog) {
  return GetDlgItem(dialog, GetDlgItem(dialog, cmb13) != nullptr ? cmb13 : edt1);
}

FileDialogDriver::FileDialogDriver()
    : hook_(SetWindowsHookExA(WH_CALLWNDPROCRET, HookProc, nullptr, GetCurrentThreadId())) {
  active = this;
  EXPECT_NE(hook_, nullptr) << "cannot hook the thread's file dialogs";
}

FileDialogDriver::~FileDialogDriver() {
  if (hook_ != nullptr) UnhookWindowsHookEx(hook_);
  active = nullptr;
  EXPECT_TRUE(answers_.empty()) << answers_.size() << " expected file dialog(s) never came";
}

LRESULT CALLBACK FileDialogDriver::HookProc(int code, WPARAM wParam, LPARAM lParam) {
  const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
  if (code == HC_ACTION && active != nullptr && call->message == WM_NOTIFY) {
    const auto* notify = reinterpret_cast<const OFNOTIFYA*>(call->lParam);
    // The explorer dialog tells its hook's child dialog that it is ready.
    if (notify->hdr.code == CDN_INITDONE && notify->hdr.hwndFrom == GetParent(call->hwnd) &&
        notify->lpOFN != nullptr) {
      active->OnDialogReady(notify->hdr.hwndFrom, *notify->lpOFN);
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

void FileDialogDriver::OnDialogReady(HWND dialog, const OPENFILENAMEA& settings) {
  SeenFileDialog seen;
  seen.owner = GetWindow(dialog, GW_OWNER);
  seen.fileNameAtOpen = WindowText(FileNameBox(dialog));
  for (const char* at = settings.lpstrFilter; at != nullptr && *at != '\0';) {
    const char* pattern = at + lstrlenA(at) + 1;
    seen.filters.emplace_back(at, pattern);
    if (*pattern == '\0') break;
    at = pattern + lstrlenA(pattern) + 1;
  }
  seen.flags = settings.Flags;
  dialogs_.push_back(seen);

  if (answers_.empty()) {
    ADD_FAILURE() << "unexpected file dialog \"" << Utf8(WindowText(dialog)) << "\"";
    answers_.emplace_back();
  }
  const std::optional<std::string> answer = answers_.front();
  answers_.pop_front();
  if (answer) {
    SendMessageA(dialog, CDM_SETCONTROLTEXT, GetDlgCtrlID(FileNameBox(dialog)),
                 reinterpret_cast<LPARAM>(answer->c_str()));
  }
  const int button = answer ? IDOK : IDCANCEL;
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
}
