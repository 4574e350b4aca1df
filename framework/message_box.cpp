#include "framework/message_box.h"

#include <utility>

int ShowMessage(HWND owner, std::string caption, std::string text, UINT type) {
  return MessageBoxA(owner, text.c_str(), caption.c_str(), type);
}

bool ConfirmYesNo(HWND owner, std::string caption, std::string text) {
  return ShowMessage(owner, std::move(caption), std::move(text), kQuestionBoxType) == IDYES;
}
