#include "framework/message_box.h"

int ShowMessage(HWND owner, const std::string& text, const std::string& caption, UINT type) {
  return MessageBoxA(owner, text.c_str(), caption.c_str(), type);
}
