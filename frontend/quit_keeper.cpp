#include "frontend/quit_keeper.h"

#include "framework/message_box.h"
#include "frontend/box_style.h"

QuitKeeper::Scope::Scope(QuitKeeper& keeper) : keeper_(keeper) { ++keeper_.depth_; }

QuitKeeper::Scope::~Scope() {
  if (--keeper_.depth_ == 0 && keeper_.kept_) {
    keeper_.kept_ = false;
    PostQuitMessage(keeper_.exitCode_);
  }
}

void QuitKeeper::Keep(int exitCode) {
  kept_ = true;
  exitCode_ = exitCode;
}

void QuitKeeper::ShowNotice(HWND owner, const std::string& text, const char* caption) {
  ShowBox(owner, text, caption, kNoticeBoxType);
}

bool QuitKeeper::AskYesNo(HWND owner, const std::string& text, const char* caption) {
  return ShowBox(owner, text, caption, kQuestionBoxType) == IDYES;
}

int QuitKeeper::ShowBox(HWND owner, const std::string& text, const char* caption, UINT type) {
  MSG msg{};
  if (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) Keep(static_cast<int>(msg.wParam));
  return ShowMessage(owner, text, caption, type);
}
