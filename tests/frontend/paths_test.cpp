// Paths as they reach the main dialog: typed, pasted or set into its boxes, dropped on it, and
// the paths it is started with. Each arrives in UTF-16, and only what code page 932 holds
// exactly reaches the converter.
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

enum Way { kPaste, kType, kSet };

class PathsTest : public ConverterDialogTest {
 protected:
  void Put(Way way, int id, const std::wstring& text) {
    if (way == kPaste) Paste(id, text);
    if (way == kType) Type(id, text);
    if (way == kSet) SetWide(id, text);
  }
  RecordedBox Error(const std::string& text) { return {Dialog(), "エラー", text, kNotice}; }
  // Presses start with 姓 checked; returns the boxes, the question answered Yes.
  Boxes StartWithAField(const std::vector<int>& answers = {IDYES, IDOK}) {
    ListView_SetCheckState(Item(IDC_FIELD_LIST), 1, TRUE);
    return Start(answers);
  }

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

// Each way into each box, a name in a folder too, beside the files that the names' look-alikes
// name (Cafe.txt, a\b.txt, Resume.csv): the box keeps what was put in, and a start refuses a
// name that code page 932 cannot hold with a box that names the box, the path with '?' where the
// look-alike would be. Nothing is started. A name that code page 932 holds reaches the converter
// as it stands.
TEST_F(PathsTest, TypedPastedAndSetNamesReachTheConverterOnlyAsTheyStand) {
  LookAlikeFiles files(TempFolder(L"タマラック 入力 "));
  const std::string folder = files.Folder();
  const struct {
    int box;
    Way put;
    const wchar_t* name;
    std::string refusal;
  } cases[] = {
      {IDC_INPUT_PATH, kPaste, L"Café.txt",
       "構造化テキストファイル：\n" + kUnnamable + folder + "Caf?.txt"},
      {IDC_INPUT_PATH, kType, L"a¥b.txt",
       "構造化テキストファイル：\n" + kUnnamable + folder + "a?b.txt"},
      {IDC_INPUT_PATH, kSet, L"Café\\in.txt",
       "構造化テキストファイル：\n" + kUnnamable + folder + "Caf?\\in.txt"},
      {IDC_OUTPUT_PATH, kPaste, L"Résumé.csv",
       "出力CSVファイル：\n" + kUnnamable + folder + "R?sum?.csv"},
      {IDC_OUTPUT_PATH, kType, L"Café\\out.csv",
       "出力CSVファイル：\n" + kUnnamable + folder + "Caf?\\out.csv"},
      {IDC_OUTPUT_PATH, kSet, L"a¥b.csv", "出力CSVファイル：\n" + kUnnamable + folder + "a?b.csv"},
  };
  for (const auto& c : cases) {
    SetWide(IDC_INPUT_PATH, files.Path(L"Cafe.txt"));
    SetWide(IDC_OUTPUT_PATH, files.Path(L"Resume.csv"));
    Put(c.put, c.box, files.Path(c.name));
    EXPECT_EQ(Utf8(WideText(c.box)), Utf8(files.Path(c.name)));
    EXPECT_EQ(StartWithAField({IDOK}), Boxes{Error(c.refusal)}) << Utf8(c.name);
    EXPECT_EQ(Utf8(WideText(c.box)), Utf8(files.Path(c.name))) << "the box keeps its text";
  }
  EXPECT_EQ(Recorded(), "") << "a converter was started";
  Paste(IDC_INPUT_PATH, kBook);
  Type(IDC_OUTPUT_PATH, kOther);
  StartWithAField();
  EXPECT_EQ(Recorded(), Utf8(L"Tamarack.exe \"" + kBook + L"\" \"" + kOther + L"\"  姓 \n"));
}

// No length cuts a path: one over 1,023 bytes, whose first 1,023 name another file, and one of
// 31,000 characters, beyond the 30,000 that an edit control takes by itself. Two paths that no
// command line can hold are refused with a box that says why.
TEST_F(PathsTest, PathsOfAnyLengthArriveWholeOrAreRefused) {
  const std::wstring book = L"C:\\住所録\\" + std::wstring(1010, L'x') + L"\\book.txt";
  ASSERT_GT(Cp932ForDisplay(book).size(), 1023u);
  const std::wstring output = L"C:\\" + std::wstring(31000, L'o') + L".csv";
  Paste(IDC_INPUT_PATH, book);
  Paste(IDC_OUTPUT_PATH, output);
  EXPECT_EQ(StartWithAField().size(), 2u);
  EXPECT_EQ(Recorded(), Utf8(L"Tamarack.exe \"" + book + L"\" \"" + output + L"\"  姓 \n"));
  const std::wstring half(16500, L'h');
  SetWide(IDC_INPUT_PATH, half);
  SetWide(IDC_OUTPUT_PATH, half);
  EXPECT_EQ(Start({}),
            (Boxes{Error("パスが長すぎるため、変換を開始できません。\n入力ファイル、"
                         "出力ファイル、ドメインを合わせて 32,000 文字ほどまでにして下さい。")}));
}

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
