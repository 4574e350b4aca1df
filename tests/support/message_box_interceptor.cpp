#include "tests/support/message_box_interceptor.h"

#include <gtest/gtest.h>

#include "tests/support/text.h"

namespace {

// The one interceptor of the thread (tests run on one thread).
MessageBoxInterceptor* active = nullptr;

const int kTextId = 0xFFFF;
const int kIconId = 0x0440;

BOOL CALLBACK IsBoxChild(HWND child, LPARAM lParam) {
  const int id = GetDlgCtrlID(child);
  const bool known = id == kTextId || id == kIconId || (id >= IDOK && id <= IDCONTINUE);
  if (!known) *reinterpret_cast<bool*>(lParam) = false;
  return known;
}

bool HasButton(HWND box, int id) { return GetDlgItem(box, id) != nullptr; }

UINT ReconstructType(HWND box) {
  UINT type = HasButton(box, IDYES) ? MB_YESNO : MB_OK;
  if (GetWindowLongPtrA(box, GWL_EXSTYLE) & WS_EX_TOPMOST) type |= MB_SYSTEMMODAL;
  HWND icon = GetDlgItem(box, kIconId);
  if (icon != nullptr && SendMessageA(icon, STM_GETICON, 0, 0) != 0) type |= MB_ICONEXCLAMATION;
  return type;
}

}  // namespace

bool IsMessageBoxWindow(HWND hwnd) {
  char className[16] = {};
  GetClassNameA(hwnd, className, sizeof(className));
  if (lstrcmpA(className, "#32770") != 0 || GetDlgItem(hwnd, kTextId) == nullptr) return false;
  bool onlyBoxChildren = true;
  EnumChildWindows(hwnd, IsBoxChild, reinterpret_cast<LPARAM>(&onlyBoxChildren));
  return onlyBoxChildren;
}

MessageBoxInterceptor::MessageBoxInterceptor() {
  active = this;
  hook_ = SetWindowsHookExA(WH_CALLWNDPROCRET, HookProc, nullptr, GetCurrentThreadId());
  EXPECT_NE(hook_, nullptr) << "cannot hook the thread's message boxes";
}

MessageBoxInterceptor::~MessageBoxInterceptor() {
  if (hook_ != nullptr) UnhookWindowsHookEx(hook_);
  active = nullptr;
  EXPECT_TRUE(answers_.empty()) << answers_.size() << " expected message box(es) never came";
}

void MessageBoxInterceptor::Answer(int button) { answers_.push_back(button); }

void MessageBoxInterceptor::AnswerOk(int count) {
  for (int i = 0; i < count; ++i) Answer(IDOK);
}

LRESULT CALLBACK MessageBoxInterceptor::HookProc(int code, WPARAM wParam, LPARAM lParam) {
  const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
  if (code == HC_ACTION && active != nullptr && call->message == WM_INITDIALOG &&
      IsMessageBoxWindow(call->hwnd)) {
    active->OnBoxOpened(call->hwnd);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

void MessageBoxInterceptor::OnBoxOpened(HWND box) {
  RecordedBox record;
  record.owner = GetWindow(box, GW_OWNER);
  record.caption = WindowText(box);
  record.text = WindowText(GetDlgItem(box, kTextId));
  record.type = ReconstructType(box);
  boxes_.push_back(record);

  int button = 0;
  if (answers_.empty()) {
    ADD_FAILURE() << "unexpected message box: caption \"" << Utf8(record.caption) << "\", text \""
                  << Utf8(record.text) << "\"";
  } else {
    button = answers_.front();
    answers_.pop_front();
    // Wine's box ends on any command id: pressing a button it lacks would pass silently.
    if (!HasButton(box, button)) {
      ADD_FAILURE() << "message box \"" << Utf8(record.text) << "\" has no button " << button;
      button = 0;
    }
  }
  if (button == 0) button = HasButton(box, IDOK) ? IDOK : IDNO;
  PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
}
