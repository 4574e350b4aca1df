// Paths that reach the main dialog from the system in UTF-16: files dropped on it, as a real
// HDROP (a DROPFILES block of wide names in global memory, sent as WM_DROPFILES; the dialog
// releases it), and the paths it is started with.
#include <shlobj.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/frontend/dialog_fixture.h"
#include "tests/support/look_alike_files.h"

namespace {

const std::string kUnnamable =
    "シフトJIS（コードページ932）にない文字（? の所）がパスにあるため、このファイルは指定"
    "できません。\nファイルの名前を変えるか、日本語の Windows で表示できる名前のフォルダに移して"
    "下さい。\n";
const std::string kNotCsv =
    "CSV ファイルではないため、出力ファイルには指定できません（変換すると上書きされます）。\n"
    "名前が .csv で終わるファイルを指定して下さい。\n";

class PathsTest : public ConverterDialogTest {
 protected:
  // Drops paths on the middle of the dialog's control id.
  void DropOn(int id, const std::vector<std::wstring>& paths) {
    RECT rect{};
    GetWindowRect(Item(id), &rect);
    POINT at{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    ScreenToClient(Dialog(), &at);
    size_t size = sizeof(DROPFILES) + sizeof(wchar_t);
    for (const std::wstring& path : paths) size += (path.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GHND, size);  // zero-filled: each name's NUL, a final NUL
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->pt = at;
    drop->fWide = TRUE;
    auto* name = reinterpret_cast<wchar_t*>(drop + 1);
    for (const std::wstring& path : paths) name = std::copy(path.begin(), path.end(), name) + 1;
    GlobalUnlock(memory);
    SendMessageA(Dialog(), WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
  }
  std::string Paths() {
    return RemoteWindowText(Item(IDC_INPUT_PATH)) + "|" + RemoteWindowText(Item(IDC_OUTPUT_PATH));
  }
  RecordedBox Error(const std::string& text) { return {Dialog(), "エラー", text, kNotice}; }

  // A folder of the test's own in the temporary folder.
  static std::wstring TempFolder(const wchar_t* name) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    return temp + (name + std::to_wstring(GetCurrentProcessId())) + L"\\";
  }
};

// Dropped files need not exist: a name of no file is taken on either box. 表 and ソ end in the
// byte 0x5C.
const std::wstring kBook = L"C:\\テスト 表\\住所録 ソ.txt", kOther = L"C:\\テスト 表\\別.csv";

TEST_F(PathsTest, TheFirstFileGoesToTheOutputBoxOrElseToTheInputBox) {
  EXPECT_TRUE(GetWindowLongPtrA(Dialog(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES) << "takes no drops";
  MessageBoxInterceptor noBoxes;  // any box fails the test instead of waiting for a click
  DropOn(IDC_OUTPUT_PATH, {kOther, kBook});
  EXPECT_EQ(Utf8(Paths()), Utf8(L"|" + kOther));
  DropOn(IDC_FIELD_LIST, {kBook});
  EXPECT_EQ(Utf8(Paths()), Utf8(kBook + L"|" + kOther));
}

// Each refusal leaves both boxes as they were and names the file in its box: a folder; a name
// that code page 932 cannot hold, beside the file its look-alike names (the look-alike must never
// reach a box); on the output box, an existing file whose long name does not end in .csv, which
// the converter would write over.
TEST_F(PathsTest, RefusedDropsLeaveTheBoxesAsTheyWereAndSayWhy) {
  LookAlikeFiles files(TempFolder(L"タマラック 表"));
  const std::string folder = files.Folder();
  // Windows and Wine make 8.3 names from the first three characters of the extension: this file
  // has one that ends in .CSV, as a drop can carry.
  const std::wstring shortName = files.ShortPath(L"addresses.csvx");
  ASSERT_GE(shortName.size(), 4u) << "no short name for " << Utf8(files.Path(L"addresses.csvx"));
  ASSERT_EQ(shortName.substr(shortName.size() - 4), L".CSV") << Utf8(shortName);
  SetText(IDC_INPUT_PATH, "typed.txt");
  SetText(IDC_OUTPUT_PATH, "typed.csv");
  MessageBoxInterceptor boxes;
  boxes.AnswerOk(6);
  DropOn(IDC_OUTPUT_PATH, {files.Path(L"a"), kBook});
  DropOn(IDC_FIELD_LIST, {files.Path(L"Café.txt")});
  DropOn(IDC_INPUT_PATH, {files.Path(L"a¥b.txt")});
  DropOn(IDC_OUTPUT_PATH, {files.Path(L"Résumé.csv")});
  DropOn(IDC_OUTPUT_PATH, {shortName});
  DropOn(IDC_OUTPUT_PATH, {files.Path(L"Cafe.txt")});
  EXPECT_EQ(
      boxes.Boxes(),
      (Boxes{Error("フォルダは指定できません。ファイルを指定して下さい。\n" + folder + "a"),
             Error(kUnnamable + folder + "Caf?.txt"), Error(kUnnamable + folder + "a?b.txt"),
             Error(kUnnamable + folder + "R?sum?.csv"), Error(kNotCsv + folder + "addresses.csvx"),
             Error(kNotCsv + folder + "Cafe.txt")}));
  EXPECT_EQ(Utf8(Paths()), "typed.txt|typed.csv");
  // An existing CSV is taken on the output box, and any file on the input box.
  DropOn(IDC_OUTPUT_PATH, {files.Path(L"Resume.csv")});
  DropOn(IDC_INPUT_PATH, {shortName});
  EXPECT_EQ(Utf8(Paths()), Utf8(shortName + L"|" + files.Path(L"Resume.csv")));
  EXPECT_EQ(boxes.Boxes().size(), 6u) << "a box for a file that was taken";
}

// Start paths that code page 932 cannot hold leave their boxes empty; their boxes come once the
// loop runs, over the dialog, and a quit that waits meanwhile is kept from each box, which it
// would close unseen, and posted again.
TEST_F(PathsTest, StartPathsThatCodePage932CannotHoldAreReportedFromTheLoop) {
  LookAlikeFiles files(TempFolder(L"tamarack-start-"));
  dialog_.Destroy();
  DispatchPending();
  dialog_.SetStartPaths(files.Path(L"a¥b.txt"), files.Path(L"Résumé.csv"));
  ASSERT_NE(dialog_.CreateModeless(nullptr, IDD_CONVERTER), nullptr);
  EXPECT_EQ(Paths(), "|");
  MessageBoxInterceptor boxes;
  boxes.AnswerOk(2);
  PostQuitMessage(0);
  MSG msg{};
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE) && msg.message != WM_QUIT) {
    DispatchMessageA(&msg);
  }
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT)) << "the quit was lost";
  EXPECT_EQ(boxes.Boxes(), (Boxes{Error(kUnnamable + files.Folder() + "a?b.txt"),
                                  Error(kUnnamable + files.Folder() + "R?sum?.csv")}));
  EXPECT_EQ(Paths(), "|");
}

}  // namespace
