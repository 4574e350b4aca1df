// Starts TamarackUI.exe from its own folder and fills the dialog as a user would before a
// conversion, for the screenshot: paths, three checked fields with EMAIL moved to the top and
// selected, the FullName option on. Prints the dialog's screen rectangle ("left top width
// height") and keeps the program open until it is ended from outside (tools/screenshot).
#include <windows.h>

#include <cstdio>
#include <string>

#include "resources/resource.h"
#include "tests/system/remote_ui.h"

namespace {

std::string OwnFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path);
  return folder.substr(0, folder.find_last_of('\\') + 1);
}

int Fail(const char* what) {
  std::fprintf(stderr, "pose_dialog: %s\n", what);
  return 1;
}

void SetText(HWND dialog, int id, const char* text) {
  SendMessageA(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

}  // namespace

int main() {
  StartedProcess frontEnd;
  std::string error;
  if (!frontEnd.Start(OwnFolder() + "TamarackUI.exe", OwnFolder(), error)) {
    return Fail(error.c_str());
  }
  HWND dialog = nullptr;
  if (!PollUntil([&] { return (dialog = FindMainDialog(frontEnd.Id())) != nullptr; }, 20000)) {
    return Fail("the dialog did not appear within 20 s");
  }
  SetText(dialog, IDC_INPUT_PATH, "C:\\Users\\tanaka\\Documents\\住所録.txt");
  SetText(dialog, IDC_OUTPUT_PATH, "C:\\Users\\tanaka\\Documents\\住所録.csv");
  RemoteListView list(frontEnd.Handle(), GetDlgItem(dialog, IDC_FIELD_LIST));
  if (!list.IsUsable()) return Fail("no buffer in the front-end's process");
  for (int row : {0, 1, 3}) list.SetCheck(row, true);
  // EMAIL (row 3) to the top, as the user arranges the output order.
  list.Select(3);
  for (int row = 3; row > 0; --row) {
    PostClick(dialog, IDC_MOVE_UP);
    const int above = row - 1;
    if (!PollUntil([&] { return list.GetItemText(above) == "EMAIL"; }, 5000)) {
      return Fail("EMAIL did not move up");
    }
  }
  PostClick(dialog, IDC_USE_FULLNAME);
  HWND option = GetDlgItem(dialog, IDC_USE_FULLNAME);
  if (!PollUntil([&] { return SendMessageA(option, BM_GETCHECK, 0, 0) == BST_CHECKED; }, 5000)) {
    return Fail("the FullName option did not check");
  }
  SetText(dialog, IDC_DOMAIN, "example.co.jp");
  RedrawWindow(dialog, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);

  RECT rect{};
  GetWindowRect(dialog, &rect);
  std::printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right - rect.left,
              rect.bottom - rect.top);
  std::fflush(stdout);
  WaitForSingleObject(frontEnd.Handle(), 120000);
  return 0;
}
