// The conversion request: the command lines it hands the stand-in converter and the boxes the
// user sees around a run.
#include <functional>

#include "tests/frontend/dialog_fixture.h"

namespace {

const std::string kPlainRun =
    "Tamarack.exe \"C:\\in\\addr.txt\" \"C:\\out\\addr.csv\"  姓 EMAIL \n";

class RequestTest : public ConverterDialogTest {
 protected:
  void SetUp() override {
    ConverterDialogTest::SetUp();
    SetText(IDC_INPUT_PATH, "C:\\in\\addr.txt");
    SetText(IDC_OUTPUT_PATH, "C:\\out\\addr.csv");
    // 姓 and EMAIL.
    for (const int row : {1, 3}) ListView_SetCheckState(Item(IDC_FIELD_LIST), row, TRUE);
  }

  RecordedBox Question() const {
    return {Dialog(), "確認", "変換処理を開始します。よろしいですか？", MB_YESNO | MB_SYSTEMMODAL};
  }
  RecordedBox Finished(HWND owner) const {
    return {owner, "確認", "処理が終了しました。", kNotice};
  }
  // The dialog's window handle as the stand-in's actions take it.
  std::string Handle() const { return std::to_string(reinterpret_cast<UINT_PTR>(Dialog())); }
};

TEST_F(RequestTest, CommandLinesCarryTheEntriesByteForByteInTheListOrder) {
  // A missing entry stops the request at its error box, and No at the question: no run. A quit
  // that waits meanwhile is kept from each box, which it would close unseen, and posted again.
  SetText(IDC_OUTPUT_PATH, "");
  PostQuitMessage(0);
  EXPECT_EQ(Start({IDOK}),
            (Boxes{{Dialog(), "エラー", "出力ファイルが指定されていません", kNotice}}));
  SetText(IDC_OUTPUT_PATH, "C:\\out\\addr.csv");
  // A quote in the domain would split the command line into other arguments.
  SendMessageA(Item(IDC_USE_FULLNAME), BM_SETCHECK, BST_CHECKED, 0);
  SetText(IDC_DOMAIN, "co.jp\" out.csv \"");
  EXPECT_EQ(Start({IDOK}), (Boxes{{Dialog(), "エラー", "ドメインに「\"」は使えません", kNotice}}));
  SendMessageA(Item(IDC_USE_FULLNAME), BM_SETCHECK, BST_UNCHECKED, 0);
  EXPECT_EQ(Start({IDNO}), Boxes{Question()});
  EXPECT_EQ(Recorded(), "");
  MSG msg{};
  EXPECT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the quit was lost";
  // With the option off the options are empty: two blanks. Nothing selected moves nothing.
  Click(IDC_MOVE_DOWN);
  EXPECT_EQ(Start({IDYES, IDOK}), (Boxes{Question(), Finished(Dialog())}));
  // EMAIL moved to the top (the selection follows it, and the first row stays); a domain of one
  // blank and a path ending in a backslash as typed.
  ListView_SetItemState(Item(IDC_FIELD_LIST), 3, LVIS_SELECTED, LVIS_SELECTED);
  for (int i = 0; i < 4; ++i) Click(IDC_MOVE_UP);
  SendMessageA(Item(IDC_USE_FULLNAME), BM_SETCHECK, BST_CHECKED, 0);
  SetText(IDC_DOMAIN, " ");
  SetText(IDC_INPUT_PATH, "C:\\in\\");
  SetText(IDC_OUTPUT_PATH, "出力.csv");
  EXPECT_EQ(Start({IDYES, IDOK}), (Boxes{Question(), Finished(Dialog())}));
  // EMAIL moved to the bottom (the last row stays); paths with blanks whose last bytes before
  // their closing quotes are 0x5C (表, ソ), and a domain with a blank: every byte as it stands.
  for (int i = 0; i < 6; ++i) Click(IDC_MOVE_DOWN);
  const std::string input = "C:\\表ソ 住所\\一覧表", output = "D:\\結果 ソ";
  const std::string domain = "社内 メール.jp";
  SetText(IDC_INPUT_PATH, input);
  SetText(IDC_OUTPUT_PATH, output);
  SetText(IDC_DOMAIN, domain);
  Click(IDC_SELECT_ALL);
  EXPECT_EQ(Start({IDYES, IDOK}), (Boxes{Question(), Finished(Dialog())}));
  EXPECT_EQ(Recorded(),
            Utf8(kPlainRun +
                 "Tamarack.exe \"C:\\in\\\" \"出力.csv\" \"/E=FullName\" \"/D= \" EMAIL 姓 \n"
                 "Tamarack.exe \"" +
                 input + "\" \"" + output + "\" \"/E=FullName\" \"/D=" + domain +
                 "\" 宛先名 姓 名 会社名 部署 EMAIL \n"));
}

// A failure shown by the runner comes before the completion box: an exit code that the
// converter did not explain, even after text it wrote. Exit codes 1 and 2 are explained only by
// a box of the converter's text: bytes that show none (only NUL, a lone first byte of a
// double-byte character) explain nothing. Standard output is drained as fast as the converter
// writes: drained a piece per pass instead, with the passes' waits, 16 MB would take minutes.
TEST_F(RequestTest, FailuresAreReportedOnceBeforeTheCompletionAndOutputDoesNotStall) {
  const char* const cases[][3] = {
      {"exit=3", "エラー", "Tamarack.exe が終了コード 3 (0x00000003) で終了しました。"},
      {"crash", "エラー", "Tamarack.exe が終了コード 3221225477 (0xC0000005) で終了しました。"},
      {"err=bad exit=2", "", "bad"},
      {"errhex=00 exit=1", "エラー", "Tamarack.exe が終了コード 1 (0x00000001) で終了しました。"},
      {"errhex=88 exit=2", "エラー", "Tamarack.exe が終了コード 2 (0x00000002) で終了しました。"}};
  for (const auto& c : cases) {
    EXPECT_EQ(Start({IDYES, IDOK, IDOK}, c[0]),
              (Boxes{Question(), {Dialog(), c[1], c[2], kNotice}, Finished(Dialog())}));
  }
  // A warning, then a crash: the old CSV is untouched, and the crash must say so.
  EXPECT_EQ(Start({IDYES, IDOK, IDOK, IDOK}, "err=warned crash"),
            (Boxes{Question(),
                   {Dialog(), "", "warned", kNotice},
                   {Dialog(), "エラー", cases[1][2], kNotice},
                   Finished(Dialog())}));
  const ULONGLONG start = GetTickCount64();
  EXPECT_EQ(Start({IDYES, IDOK}, "out=16000000"), (Boxes{Question(), Finished(Dialog())}));
  EXPECT_LT(GetTickCount64() - start, 20000u) << "16 MB of standard output took too long";
}

// The stand-in closes the dialog and, once it is gone, writes: that text is shown, so the run
// outlived the dialog.
TEST_F(RequestTest, ClosingTheDialogDuringARunStillShowsTheCompletionAndQuitsWithZero) {
  const RecordedBox question = Question();
  EXPECT_EQ(Start({IDYES, IDOK, IDOK}, "close=" + Handle() + " err=late"),
            (Boxes{question, {nullptr, "", "late", kNotice}, Finished(nullptr)}));
  EXPECT_EQ(Dialog(), nullptr);
  // The quit that the closing posted waits for the program's loop.
  MSG msg{};
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the quit was lost";
  EXPECT_EQ(msg.wParam, 0u);
}

// What the test does while the stand-in runs: it acts from a thread timer, which the runner's
// pump dispatches, once the stand-in has signalled that it runs; the stand-in then waits until
// the test lets it end.
struct DuringRun {
  HANDLE running = nullptr;
  HANDLE done = nullptr;
  std::function<void()> act;
  bool acted = false;
};
DuringRun* duringRun = nullptr;

void CALLBACK ActDuringRun(HWND, UINT, UINT_PTR, DWORD) {
  if (WaitForSingleObject(duringRun->running, 0) != WAIT_OBJECT_0) return;
  if (!duringRun->acted) {
    duringRun->acted = true;
    duringRun->act();
    return;
  }
  // Timers come only when nothing else waits: the keys the act posted have been dispatched.
  SetEvent(duringRun->done);
}

// One conversion at a time, and the boxes show the book that is converted: during a run 変換開始
// and the browse buttons are greyed and the path boxes read-only. A start sent as a message is
// refused by the dialog itself (a greyed button's handler still receives it), a paste changes
// nothing, and a drop is refused with a note. Keys are not the dialog's: Escape does not close
// it. Afterwards all is as before, the focus back on 変換開始.
TEST_F(RequestTest, DuringARunTheDialogRefusesAnotherStartAndKeepsItsPaths) {
  const std::string id = std::to_string(GetCurrentProcessId());
  DuringRun run;
  run.running = CreateEventA(nullptr, TRUE, FALSE, ("tamarack-running-" + id).c_str());
  run.done = CreateEventA(nullptr, TRUE, FALSE, ("tamarack-done-" + id).c_str());
  run.act = [this] {
    for (const int button : {IDOK, IDC_BROWSE_INPUT, IDC_BROWSE_OUTPUT}) {
      EXPECT_FALSE(IsWindowEnabled(Item(button))) << "button " << button;
    }
    for (const int box : {IDC_INPUT_PATH, IDC_OUTPUT_PATH}) {
      EXPECT_TRUE(GetWindowLongPtrW(Item(box), GWL_STYLE) & ES_READONLY) << "box " << box;
    }
    Click(IDOK);
    Paste(IDC_INPUT_PATH, L"C:\\in\\other.txt");
    DropOn(IDC_OUTPUT_PATH, {L"C:\\out\\other.csv"});
    PostMessageW(Item(IDC_INPUT_PATH), WM_KEYDOWN, VK_ESCAPE, 1);
  };
  duringRun = &run;
  SetFocus(Item(IDOK));
  const UINT_PTR timer = SetTimer(nullptr, 0, 10, ActDuringRun);
  const Boxes boxes =
      Start({IDYES, IDOK, IDOK}, "signal=tamarack-running-" + id + " wait=tamarack-done-" + id);
  KillTimer(nullptr, timer);
  duringRun = nullptr;
  EXPECT_EQ(boxes, (Boxes{Question(),
                          {Dialog(), "エラー",
                           "変換中はファイルを指定できません。変換が終わってから指定して下さい。",
                           kNotice},
                          Finished(Dialog())}));
  ASSERT_NE(Dialog(), nullptr) << "Escape closed the dialog during the run";
  EXPECT_EQ(Recorded(), Utf8(kPlainRun));
  EXPECT_EQ(Paths(), "C:\\in\\addr.txt|C:\\out\\addr.csv");
  EXPECT_TRUE(IsWindowEnabled(Item(IDOK)));
  EXPECT_FALSE(GetWindowLongPtrW(Item(IDC_INPUT_PATH), GWL_STYLE) & ES_READONLY);
  EXPECT_EQ(GetDlgCtrlID(GetFocus()), IDOK);
  for (HANDLE event : {run.running, run.done}) CloseHandle(event);
}

}  // namespace
