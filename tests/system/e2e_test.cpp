// The shipped pair as a user meets it: the real TamarackUI.exe, started beside the real
// Tamarack.exe and driven from this process with only what crosses process boundaries,
// answering every message box. Every wait is bounded and says what it awaited; a failed test
// ends the front-end it started.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "common/wide_text.h"
#include "driver/remote_ui.h"
#include "resources/resource.h"
#include "tests/support/look_alike_files.h"
#include "tests/support/text.h"

namespace {

// The folder of the programs under test: the one TAMARACK_PROGRAMS names (tools/release --check
// points it at the unpacked release), else this build's.
std::string ProgramFolder() {
  char folder[MAX_PATH] = {};
  const DWORD length = GetEnvironmentVariableA("TAMARACK_PROGRAMS", folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return OwnFolder();
  const std::string named(folder);
  return named.back() == '\\' ? named : named + "\\";
}

std::string ReadBytes(const std::string& path) {
  return {std::istreambuf_iterator<char>(std::ifstream(path, std::ios::binary).rdbuf()), {}};
}

class SystemTest : public testing::Test {
 protected:
  void SetUp() override { DeleteFileA(output_.c_str()); }
  void TearDown() override { DeleteFileA(output_.c_str()); }

  bool Await(const std::function<bool()>& condition, const std::string& what) {
    if (PollUntil(condition, 20000)) return true;
    ADD_FAILURE() << "awaited " << what << ": not within 20 s";
    return false;
  }

  // Starts folder's TamarackUI.exe with arguments in the current folder given and waits for its
  // dialog. The command line is wide, as the shell gives it.
  void Start(const std::string& folder, const std::string& current,
             const std::wstring& arguments = L"") {
    ASSERT_TRUE(process_.Start(WideFrom(932, folder + "TamarackUI.exe"), WideFrom(932, current), 0,
                               arguments))
        << "cannot start " << Utf8(folder) << "TamarackUI.exe: error " << GetLastError();
    ASSERT_TRUE(Await([&] { return (dialog_ = FindMainDialog(process_.Id())) != nullptr; },
                      "the dialog titled Tamarack"));
  }

  void EndWithEscape() {
    PressKey(IDC_DOMAIN, VK_ESCAPE);
    DWORD code = 1;
    EXPECT_TRUE(process_.WaitForExit(20000, code)) << "TamarackUI.exe still runs 20 s after Escape";
    EXPECT_EQ(code, 0u);
  }

  HWND Item(int id) const { return GetDlgItem(dialog_, id); }
  // A key pressed in a control: the program's loop offers it to the dialog's navigation.
  void PressKey(int id, UINT key) {
    const LPARAM lParam = MAKELPARAM(1, MapVirtualKeyA(key, MAPVK_VK_TO_VSC));
    PostMessageA(Item(id), WM_KEYDOWN, key, lParam);
    PostMessageA(Item(id), WM_KEYUP, key, lParam | 0xC0000000);
  }

  // Types text into a box in place of its text, a character at a time through the program's
  // own loop, as the keyboard or an IME delivers it.
  void TypeInto(int id, const std::wstring& text) {
    SendMessageW(Item(id), EM_SETSEL, 0, -1);
    for (const wchar_t c : text) PostMessageW(Item(id), WM_CHAR, c, 1);
  }
  // The three entry boxes, as UTF-8, separated by '|'.
  std::string Entries() const {
    return Utf8(RemoteWindowText(Item(IDC_INPUT_PATH)) + "|" +
                RemoteWindowText(Item(IDC_OUTPUT_PATH)) + "|" + RemoteWindowText(Item(IDC_DOMAIN)));
  }

  // Waits for the next message box, checks its caption (unless null: the system's own box) and
  // owner, the dialog, and that its text mentions text (the request's tests check the texts
  // whole), and presses button, which the box must have.
  void Expect(const char* caption, const std::string& text, int button = IDOK) {
    HWND box = nullptr;
    ASSERT_TRUE(Await([&] { return (box = FindMessageBox(process_.Id())) != nullptr; },
                      "the box " + Utf8(text)));
    if (caption != nullptr) {
      EXPECT_EQ(GetWindow(box, GW_OWNER), dialog_) << Utf8(text);
    }
    const std::string seen =
        RemoteWindowText(box) + "|" + RemoteWindowText(GetDlgItem(box, kMessageBoxTextId));
    EXPECT_TRUE((caption == nullptr || seen.rfind(caption + std::string("|"), 0) == 0) &&
                seen.find(text) != std::string::npos)
        << "seen " << Utf8(seen) << "\nawaited " << Utf8(caption ? caption : "*") << "|"
        << Utf8(text);
    ASSERT_TRUE(PressBoxButton(box, button)) << "no button " << button << ": " << Utf8(seen);
    ASSERT_TRUE(Await([&] { return !IsWindow(box); }, "the box closing: " + Utf8(seen)));
  }

  // Presses a browse button and answers the file dialog with path typed into its file-name box,
  // or cancels it when path is empty; a question about replacing the file is answered Yes.
  // Returns the file types the dialog offered.
  std::string Browse(int button, const std::wstring& path, bool asksToReplace = false) {
    PostClick(dialog_, button);
    HWND found = nullptr;
    if (!Await([&] { return (found = FindFileDialog(process_.Id())) != nullptr; },
               "the file dialog")) {
      return "";
    }
    EXPECT_EQ(GetWindow(found, GW_OWNER), dialog_);
    const std::string types = RemoteWindowText(GetDlgItem(found, cmb1));
    SendMessageW(FileNameBox(found), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    PostMessageA(found, WM_COMMAND, path.empty() ? IDCANCEL : IDOK, 0);
    // The question's wording is the system's own: only its Yes button is relied on.
    if (asksToReplace) Expect(nullptr, "", IDYES);
    Await([&] { return !IsWindow(found); }, "the file dialog closing");
    return types;
  }

  // Presses Enter for 変換開始, says Yes to the confirmation, expects the converter's own text
  // (in a box with an empty caption) when it should mention something, then the completion box.
  void Run(const char* mentions = nullptr) {
    PressKey(IDC_OUTPUT_PATH, VK_RETURN);
    ASSERT_NO_FATAL_FAILURE(Expect("確認", "変換処理を開始します。よろしいですか？", IDYES));
    if (mentions != nullptr) Expect("", mentions);
    Expect("確認", "処理が終了しました。");
  }

  StartedProcess process_;
  HWND dialog_ = nullptr;
  // 表 ends in the byte 0x5C, the backslash. ～ and ① reach the converter as the front-end's code
  // page 932 turns them into UTF-16 (U+FF5E, not the U+301C of other systems' Shift-JIS), and
  // name this file there.
  const std::string output_ = OwnFolder() + "出力 表～①.csv";
};

TEST_F(SystemTest, EnterConvertsTheSampleAndShowsTheConvertersErrorTextEscapeEndsWithZero) {
  ASSERT_NO_FATAL_FAILURE(Start(ProgramFolder(), OwnFolder()));
  // Started minimised, shown normally, centred over the desktop window (on any usual screen the
  // work area's bounds do not move it).
  RECT placed{}, desktop{};
  GetWindowRect(dialog_, &placed);
  GetWindowRect(GetDesktopWindow(), &desktop);
  EXPECT_FALSE(IsIconic(dialog_));
  EXPECT_NEAR(placed.left + placed.right, desktop.left + desktop.right, 1);
  EXPECT_NEAR(placed.top + placed.bottom, desktop.top + desktop.bottom, 1);
  EXPECT_EQ(Entries(), "||co.jp");

  // Browsing: cancelled, the typed paths stay; chosen, the files replace them.
  const std::string input = OwnFolder() + "system-data\\addressbook.txt";
  for (const int id : {IDC_INPUT_PATH, IDC_OUTPUT_PATH}) SetWindowTextA(Item(id), "typed");
  EXPECT_EQ(Browse(IDC_BROWSE_INPUT, L""), "All files (*.*)");
  EXPECT_EQ(Utf8(Browse(IDC_BROWSE_OUTPUT, L"")), Utf8("CSVﾌｧｲﾙ(*.csv)"));
  EXPECT_EQ(Entries(), "typed|typed|co.jp");
  // A name that code page 932 cannot hold, beside the file its look-alike names: chosen, it is
  // refused, and the look-alike never reaches a box. Typed, a character at a time through the
  // program's own loop, or pasted, it stays in its box as it was put there (é does not become e),
  // and a start refuses it, naming the box.
  {
    LookAlikeFiles files(WideFrom(932, OwnFolder()) + L"system-names\\");
    Browse(IDC_BROWSE_INPUT, files.Path(L"Café.txt"));
    Expect("エラー", files.Folder() + "Caf?.txt");
    Browse(IDC_BROWSE_OUTPUT, files.Path(L"Résumé.csv"));
    Expect("エラー", files.Folder() + "R?sum?.csv");
    EXPECT_EQ(Entries(), "typed|typed|co.jp");
    TypeInto(IDC_INPUT_PATH, files.Path(L"Café.txt"));
    PasteText(Item(IDC_OUTPUT_PATH), files.Path(L"Résumé.csv"));
    const std::string typed = files.Folder() + "Caf?.txt|" + files.Folder() + "R?sum?.csv|co.jp";
    ASSERT_TRUE(Await([&] { return Entries() == Utf8(typed); }, "the typed paths: " + Utf8(typed)));
    PressKey(IDC_OUTPUT_PATH, VK_RETURN);
    Expect("エラー", "構造化テキストファイル：\nシフトJIS（コードページ932）にない文字");
    EXPECT_EQ(Entries(), Utf8(typed)) << "the boxes keep their text";
  }
  Browse(IDC_BROWSE_INPUT, WideFrom(932, input));
  Browse(IDC_BROWSE_OUTPUT, WideFrom(932, output_));
  EXPECT_EQ(Entries(), Utf8(input + "|" + output_ + "|co.jp"));

  // All six fields in their first order: the converter knows each name, and the CSV's columns
  // follow that order.
  PostClick(dialog_, IDC_SELECT_ALL);
  ASSERT_NO_FATAL_FAILURE(Run());
  const std::string csv = ReadBytes(output_);
  EXPECT_EQ(csv, ReadBytes(OwnFolder() + "system-data\\addressbook.csv")) << Utf8(csv);
  // Chosen again, the existing CSV is replaced only after the user says so.
  Browse(IDC_BROWSE_OUTPUT, WideFrom(932, output_), true);

  // The converter's own error text reaches the user before the completion box.
  SetWindowTextA(Item(IDC_INPUT_PATH), (OwnFolder() + "no-such-book.txt").c_str());
  ASSERT_NO_FATAL_FAILURE(Run("no-such-book.txt"));

  EndWithEscape();
}

// As the shell starts it for files dropped on its icon or sent to it, alone in its folder; the
// current folder holds a stand-in Tamarack.exe, which must never run.
TEST_F(SystemTest, CommandLinePathsFillTheBoxesAndAConverterInTheCurrentFolderNeverRuns) {
  namespace fs = std::filesystem;
  const std::string work = OwnFolder() + "system-work\\", alone = work + "alone\\";
  std::error_code ignored;
  fs::remove_all(work, ignored);
  fs::create_directories(alone);
  fs::copy_file(OwnFolder() + "TamarackUI.exe", alone + "TamarackUI.exe");
  fs::copy_file(OwnFolder() + "stand_in_converter.exe", work + "Tamarack.exe");
  // 表 puts the byte 0x5C right before the closing quote.
  const std::string book = work + "住所録 一覧表";
  for (const char* name : {"住所録 一覧表", "前回 結果.CSV"}) {
    std::ofstream(work + name) << "LastName: x\r\n";
  }
  const std::wstring quotedBook = L"\"" + WideFrom(932, book) + L"\" ";
  LookAlikeFiles files(WideFrom(932, work) + L"names\\");
  // Two books dropped together: the second is no output, which the converter would replace.
  ASSERT_NO_FATAL_FAILURE(Start(alone, work, quotedBook + L"\"" + files.Path(L"Cafe.txt") + L"\""));
  EXPECT_EQ(Entries(), Utf8(book + "||co.jp"));
  EndWithEscape();
  // A name that code page 932 cannot hold, tried as a new user would, beside the file that its
  // look-alike names (¥ would be the backslash, a\b.txt), is refused with a box that holds no
  // look-alike. A second path that names no file is an output.
  const std::wstring yen = L"\"" + files.Path(L"a¥b.txt") + L"\" \"新しい 結果\"";
  ASSERT_NO_FATAL_FAILURE(Start(alone, work, yen));
  Expect("エラー", files.Folder() + "a?b.txt");
  EXPECT_EQ(Entries(), Utf8("|" + work + "新しい 結果|co.jp"));
  EndWithEscape();
  // An existing CSV, in any case, is an output. A relative path is taken against the current
  // folder at start-up; a third argument is ignored.
  ASSERT_NO_FATAL_FAILURE(Start(alone, work, quotedBook + L"\"前回 結果.CSV\" ignored.csv"));
  EXPECT_EQ(Entries(), Utf8(book + "|" + work + "前回 結果.CSV|co.jp"));
  PostClick(dialog_, IDC_SELECT_ALL);
  PressKey(IDC_OUTPUT_PATH, VK_RETURN);
  ASSERT_NO_FATAL_FAILURE(Expect("確認", "変換処理を開始します。よろしいですか？", IDYES));
  Expect("エラー", "Tamarack.exe を起動できませんでした。");
  Expect("確認", "処理が終了しました。");
  EXPECT_FALSE(fs::exists(work + "received-command-line.txt")) << "the stray converter ran";
  EndWithEscape();
  fs::remove_all(work, ignored);
}

}  // namespace
