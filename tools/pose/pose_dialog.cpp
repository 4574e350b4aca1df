// Shows the program's main dialog filled in as a user would before a conversion, prints
// "dialog LEFT TOP WIDTH HEIGHT" once it is painted, and runs until it is closed or ended.
// tools/screenshot takes its picture.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>

#include "app/application.h"
#include "frontend/converter_dialog.h"
#include "resources/resource.h"

int main() {
  InitCommonControls();
  ConverterDialog dialog;
  HWND hwnd = dialog.CreateModeless(nullptr, IDD_CONVERTER);
  if (hwnd == nullptr) return 1;
  SetDlgItemTextA(hwnd, IDC_INPUT_PATH, "C:\\Users\\tanaka\\Documents\\住所録.txt");
  SetDlgItemTextA(hwnd, IDC_OUTPUT_PATH, "C:\\Users\\tanaka\\Documents\\住所録.csv");
  // 宛先名, 姓 and EMAIL checked, EMAIL moved to the top.
  HWND list = GetDlgItem(hwnd, IDC_FIELD_LIST);
  for (const int row : {0, 1, 3}) ListView_SetCheckState(list, row, TRUE);
  ListView_SetItemState(list, 3, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  for (int i = 0; i < 3; ++i) SendMessageA(hwnd, WM_COMMAND, IDC_MOVE_UP, 0);
  CheckDlgButton(hwnd, IDC_USE_FULLNAME, BST_CHECKED);
  SetDlgItemTextA(hwnd, IDC_DOMAIN, "example.co.jp");
  dialog.Show(SW_SHOW);
  RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  RECT rect{};
  GetWindowRect(hwnd, &rect);
  std::printf("dialog %ld %ld %ld %ld\n", rect.left, rect.top, rect.right - rect.left,
              rect.bottom - rect.top);
  std::fflush(stdout);
  return RunMessageLoop();
}
