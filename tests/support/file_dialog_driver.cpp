#include "tests/support/file_dialog_driver.h"

#include <dlgs.h>
#include <gtest/gtest.h>

#include "tests/support/text.h"

namespace {

// The one driver of the thread (tests run on one thread).
FileDialogDriver* active = nullptr;

// A full-size record gives the dialog a file-name combo box, the older record an edit box.
HWND FileNameBox(HWND dialog) {
  HWND box = GetDlgItem(dialog, cmb13);
  return box != nullptr ? box : GetDlgItem(dialog, edt1);
}

// Label and pattern pairs up to the first empty label, as the system reads the list.
std::vector<std::pair<std::string, std::string>> ReadFilters(const char* list) {
  std::vector<std::pair<std::string, std::string>> filters;
  if (list == nullptr) return filters;
  while (*list != '\0') {
    std::string label = list;
    list += label.size() + 1;
    std::string pattern = list;
    list += pattern.size() + 1;
    filters.emplace_back(label, pattern);
    if (pattern.empty()) break;
  }
  return filters;
}

std::vector<std::string> ComboItems(HWND combo) {
  std::vector<std::string> items;
  const LRESULT count = SendMessageA(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    const LRESULT length = SendMessageA(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
    if (length < 0) break;
    std::string text(static_cast<size_t>(length) + 1, '\0');
    SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&text[0]));
    items.push_back(text.c_str());
  }
  return items;
}

}  // namespace

FileDialogDriver::FileDialogDriver() {
  active = this;
  hook_ = SetWindowsHookExA(WH_CALLWNDPROCRET, HookProc, nullptr, GetCurrentThreadId());
  EXPECT_NE(hook_, nullptr) << "cannot hook the thread's file dialogs";
}

FileDialogDriver::~FileDialogDriver() {
  if (hook_ != nullptr) UnhookWindowsHookEx(hook_);
  active = nullptr;
  EXPECT_TRUE(answers_.empty()) << answers_.size() << " expected file dialog(s) never came";
}

void FileDialogDriver::Cancel() { answers_.push_back({false, std::string()}); }

void FileDialogDriver::Choose(const std::string& path) { answers_.push_back({true, path}); }

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
  seen.title = WindowText(dialog);
  seen.fileNameAtOpen = WindowText(FileNameBox(dialog));
  seen.filters = ReadFilters(settings.lpstrFilter);
  seen.fileTypes = ComboItems(GetDlgItem(dialog, cmb1));
  if (settings.lpstrDefExt != nullptr) seen.defaultExtension = settings.lpstrDefExt;
  seen.flags = settings.Flags;
  seen.structSize = settings.lStructSize;
  dialogs_.push_back(seen);

  Answer answer{false, std::string()};
  if (answers_.empty()) {
    ADD_FAILURE() << "unexpected file dialog \"" << Utf8(seen.title) << "\"";
  } else {
    answer = answers_.front();
    answers_.pop_front();
  }
  int button = IDCANCEL;
  if (answer.choose) {
    SendMessageA(dialog, CDM_SETCONTROLTEXT, GetDlgCtrlID(FileNameBox(dialog)),
                 reinterpret_cast<LPARAM>(answer.path.c_str()));
    button = IDOK;
  }
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
}
