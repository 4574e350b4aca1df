#include "frontend/quit_keeper.h"

#include "framework/message_box.h"

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

int QuitKeeper::ShowBoxKeepingQuit(HWND owner, const std::string& caption, const std::string& text,
                                   UINT type) {
  MSG msg{};
  if (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) Keep(static_cast<int>(msg.wParam));
  return ShowMessage(owner, caption, text, type);
}
