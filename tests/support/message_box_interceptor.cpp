#include "tests/support/message_box_interceptor.h"

#include <gtest/gtest.h>

#include <tuple>

#include "driver/message_box_window.h"
#include "driver/remote_ui.h"
#include "tests/support/text.h"

// The one interceptor of the thread (tests run on one thread).
static MessageBoxInterceptor* active = nullptr;

static bool HasButton(HWND box, int id) { return GetDlgItem(box, id) != nullptr; }

bool operator==(const RecordedBox& a, const RecordedBox& b) {
  return std::tie(a.owner, a.caption, a.text, a.type) ==
         std::tie(b.owner, b.caption, b.text, b.type);
}

void PrintTo(const RecordedBox& box, std::ostream* out) {
  *out << "{owner " << box.owner << ", \"" << Utf8(box.caption) << "\", ";
  // Thousands of bytes stay legible as their count and last byte.
  if (box.text.size() > 400) {
    *out << box.text.size() << " bytes ending in 0x" << std::hex
         << int{static_cast<unsigned char>(box.text.back())};
  } else {
    *out << "\"" << Utf8(box.text) << "\"" << std::hex;
  }
  *out << ", type 0x" << box.type << std::dec << "}";
}

MessageBoxInterceptor::MessageBoxInterceptor()
    : hook_(SetWindowsHookExA(WH_CALLWNDPROCRET, HookProc, nullptr, GetCurrentThreadId())) {
  active = this;
  EXPECT_NE(hook_, nullptr) << "cannot hook the thread's message boxes";
}

MessageBoxInterceptor::~MessageBoxInterceptor() {
  if (hook_ != nullptr) UnhookWindowsHookEx(hook_);
  active = nullptr;
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
  record.caption = RemoteWindowText(box);
  record.text = RemoteWindowText(GetDlgItem(box, kMessageBoxTextId));
  record.type = (HasButton(box, IDYES) ? MB_YESNO : MB_OK) |
                (HasIcon(box) ? MB_ICONEXCLAMATION : 0) |
                (GetWindowLongPtrA(box, GWL_EXSTYLE) & WS_EX_TOPMOST ? MB_SYSTEMMODAL : 0);
  boxes_.push_back(record);

  // The box's modal loop would take a waiting quit and close the box before anyone saw it.
  MSG quit{};
  if (PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE)) {
    ADD_FAILURE() << "a quit waits as a box opens: " << testing::PrintToString(record);
  }
  int button = HasButton(box, IDOK) ? IDOK : IDNO;
  if (!answers_.empty()) {
    // Wine's box ends on any command id: pressing a button it lacks would pass silently.
    EXPECT_TRUE(HasButton(box, answers_.front()))
        << "no button " << answers_.front() << " in " << testing::PrintToString(record);
    if (HasButton(box, answers_.front())) button = answers_.front();
    answers_.pop_front();
  }
  PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
}
