#include "app/application.h"

#include <commctrl.h>

#include "app/code_page_check.h"
#include "resources/resource.h"

namespace {

const char kStartupFailure[] = "アプリケーションを初期化できません";

bool IsInputMessage(UINT message) {
  return (message >= WM_KEYFIRST && message <= 0x108) ||
         (message >= WM_MOUSEFIRST && message <= 0x209);
}

}  // namespace

int RunApplication(Dialog& dialog) {
  InitCommonControls();
  if (dialog.CreateModeless(nullptr, IDD_CONVERTER) == nullptr) {
    MessageBoxA(nullptr, kStartupFailure, nullptr, MB_ICONEXCLAMATION);
    return 0;
  }
  // The show command handed to the program is ignored: the dialog always opens normally.
  dialog.Show(SW_SHOW);
  dialog.Refresh(TRUE);
  // Over the dialog it is about: the template's texts read right, the program's own may not.
  WarnAboutCodePage(dialog.GetHandle(), GetACP());
  return RunMessageLoop();
}

// The loop is Unicode: the characters typed into a Unicode control arrive as they were typed.
// A message fetched in the ANSI form carries them in the code page, with a look-alike for each
// that it lacks.
int RunMessageLoop() {
  MSG msg{};
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) RouteMessage(msg);
  return static_cast<int>(msg.wParam);
}

void RouteMessage(MSG& msg) {
  if (IsInputMessage(msg.message)) {
    // Only the target's ancestors: a dialog that contains the target consumes Tab, Enter and
    // Escape; the target itself would swallow them.
    for (HWND parent = GetParent(msg.hwnd); parent != nullptr; parent = GetParent(parent)) {
      if (IsDialogMessageW(parent, &msg)) return;
    }
  }
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
}
