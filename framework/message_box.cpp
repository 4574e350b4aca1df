#include "framework/message_box.h"

int ShowMessage(HWND owner, std::string caption, std::string text, UINT type) {
  return MessageBoxA(owner, text.c_str(), caption.c_str(), type);
}
