// Recognises a message box by what every system's box has, in this process or another.
#pragma once

#include <windows.h>

// The control that holds a message box's text, on Windows and under Wine alike.
const int kMessageBoxTextId = 0xFFFF;

// A dialog-class window whose children are only statics (the text, an icon) and command
// buttons. The program's own dialog has edit boxes and a list view besides (and its statics have
// the id -1, not 0xFFFF: a DIALOGEX template keeps 32-bit ids). The icon's id differs between
// systems (0x14 on Windows, 0x440 under Wine), so no id but the text's is used.
inline bool IsMessageBox(HWND hwnd) {
  char name[16] = {};
  if (GetClassNameA(hwnd, name, sizeof(name)) == 0 || lstrcmpA(name, "#32770") != 0 ||
      GetDlgItem(hwnd, kMessageBoxTextId) == nullptr) {
    return false;
  }
  for (HWND child = GetWindow(hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    GetClassNameA(child, name, sizeof(name));
    const int id = GetDlgCtrlID(child);
    const bool button = lstrcmpiA(name, "Button") == 0 && id >= IDOK && id <= IDCONTINUE;
    if (lstrcmpiA(name, "Static") != 0 && !button) return false;
  }
  return true;
}

// Whether the box shows an icon: a static child that holds one.
inline bool HasIcon(HWND box) {
  for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (SendMessageA(child, STM_GETICON, 0, 0) != 0) return true;
  }
  return false;
}
