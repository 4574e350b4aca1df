#include "tests/support/message_box_interceptor.h"

#include <gtest/gtest.h>

#include "tests/support/text.h"

// The one interceptor of the thread (tests run on one thread).
static MessageBoxInterceptor* active = nullptr;

static const int kTextId = 0xFFFF;
static const int kIconId = 0x0440;

// A dialog holding only the text, the icon and buttons: the program's own dialog has statics
// with id 0xFFFF too, but other controls besides.
static bool IsMessageBox(HWND dialog) {
  if (GetDlgItem(dialog, kTextId) == nullptr) return false;
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    const int id = GetDlgCtrlID(child);
    if (id != kTextId && id != kIconId && (id < IDOK || id > IDCONTINUE)) return false;
  }
  return true;
}

static bool HasButton(HWND box, int id) { return GetDlgItem(box, id) != nullptr; }

MessageBoxInterceptor::MessageBoxInterceptor()
    : hook_(SetWindowsHookExA(WH_CALLWNDPROCRET, HookProc, nullptr, GetCurrentThreadId())) {
  active = this;
  EXPECT_NE(hook_, nullptr) << "cannot hook the thread's message boxes";
}

MessageBoxInterceptor::~MessageBoxInterceptor() {
  if (hook_ != nullptr) UnhookWindowsHookEx(hook_);
  active = nullptr;
  EXPECT_TRUE(answers_.empty()) << answers_.size() << " expected message box(es) never came";
}

LRESULT CALLBACK MessageBoxInterceptor::HookProc(int code, WPARAM wParam, LPARAM lParam) {
  const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
  if (code == HC_ACTION && active != nullptr && call->message == WM_INITDIALOG &&
      IsMessageBox(call->hwnd)) {
    active->OnBoxOpened(call->hwnd);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

void MessageBoxInterceptor::OnBoxOpened(HWND box) {
  RecordedBox record;
  record.owner = GetWindow(box, GW_OWNER);
  record.caption = WindowText(box);
  record.text = WindowText(GetDlgItem(box, kTextId));
  const bool icon = SendMessageA(GetDlgItem(box, kIconId), STM_GETICON, 0, 0) != 0;
  record.type = (HasButton(box, IDYES) ? MB_YESNO : MB_OK) | (icon ? MB_ICONEXCLAMATION : 0);
  if (GetWindowLongPtrA(box, GWL_EXSTYLE) & WS_EX_TOPMOST) record.type |= MB_SYSTEMMODAL;
  boxes_.push_back(record);

  const int fallback = HasButton(box, IDOK) ? IDOK : IDNO;
  if (answers_.empty() && okToAll_) answers_.push_back(IDOK);
  if (answers_.empty()) {
    ADD_FAILURE() << "unexpected message box: caption \"" << Utf8(record.caption) << "\", text \""
                  << Utf8(record.text) << "\"";
    answers_.push_back(fallback);
  }
  int button = answers_.front();
  answers_.pop_front();
  // Wine's box ends on any command id: pressing a button it lacks would pass silently.
  if (!HasButton(box, button)) {
    ADD_FAILURE() << "message box \"" << Utf8(record.text) << "\" has no button " << button;
    button = fallback;
  }
  PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
}
