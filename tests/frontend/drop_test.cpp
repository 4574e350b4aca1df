// Files dropped on the main dialog, as a real HDROP: a DROPFILES block in global memory with
// code page 932 names, sent as WM_DROPFILES (the dialog releases it).
#include <shlobj.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/frontend/dialog_fixture.h"

namespace {

class DropTest : public ConverterDialogTest {
 protected:
  // Drops paths on the middle of the dialog's control id.
  void DropOn(int id, const std::vector<std::string>& paths) {
    RECT rect{};
    GetWindowRect(Item(id), &rect);
    POINT at{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    ScreenToClient(Dialog(), &at);
    size_t size = sizeof(DROPFILES) + 1;
    for (const std::string& path : paths) size += path.size() + 1;
    HGLOBAL memory = GlobalAlloc(GHND, size);  // zero-filled: narrow names, a final NUL
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->pt = at;
    char* name = reinterpret_cast<char*>(drop + 1);
    for (const std::string& path : paths) name = std::copy(path.begin(), path.end(), name) + 1;
    GlobalUnlock(memory);
    SendMessageA(Dialog(), WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
  }
  std::string Paths() {
    return RemoteWindowText(Item(IDC_INPUT_PATH)) + "|" + RemoteWindowText(Item(IDC_OUTPUT_PATH));
  }
};

// Dropped files need not exist: only a folder is refused. 表 and ソ end in the byte 0x5C.
const std::string kBook = "C:\\テスト 表\\住所録 ソ.txt", kOther = "C:\\テスト 表\\別.csv";

TEST_F(DropTest, TheFirstFileGoesToTheOutputBoxOrElseToTheInputBox) {
  EXPECT_TRUE(GetWindowLongPtrA(Dialog(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES) << "takes no drops";
  MessageBoxInterceptor noBoxes;  // any box fails the test instead of waiting for a click
  DropOn(IDC_OUTPUT_PATH, {kOther, kBook});
  EXPECT_EQ(Utf8(Paths()), Utf8("|" + kOther));
  DropOn(IDC_FIELD_LIST, {kBook});
  EXPECT_EQ(Utf8(Paths()), Utf8(kBook + "|" + kOther));
}

TEST_F(DropTest, AFolderIsRefusedWithAnErrorBoxThatNamesIt) {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  const std::string folder = temp + std::string("タマラック 表");
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
  MessageBoxInterceptor boxes;
  boxes.AnswerOk();
  DropOn(IDC_OUTPUT_PATH, {folder, kBook});
  RemoveDirectoryA(folder.c_str());
  EXPECT_EQ(boxes.Boxes(),
            (Boxes{{Dialog(), "エラー",
                    "フォルダは指定できません。ファイルを指定して下さい。\n" + folder, kNotice}}));
  EXPECT_EQ(Paths(), "|");
}

}  // namespace
