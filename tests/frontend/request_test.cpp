// The conversion request, run against the recording stand-in: this executable sits in a folder
// of its own beside a copy of the fake converter named Tamarack.exe, which the platform's
// search finds first (the folder of the starting program). The stand-in appends the command
// line it was given to the file named by FAKE_CONVERTER_RECORD.
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/application.h"
#include "resources/resource.h"
#include "tests/frontend/dialog_fixture.h"
#include "tests/support/message_box_interceptor.h"
#include "tests/support/text.h"

namespace {

const char kError[] = "エラー";
const char kConfirm[] = "確認";
const char kFinished[] = "処理が終了しました。";
const char kInput[] = "C:\\in\\addr.txt";
const char kOutput[] = "C:\\out\\addr.csv";

std::string UniqueName(const char* what) {
  return std::string("tamarack-test-") + what + "-" + std::to_string(GetCurrentProcessId());
}

class RequestTest : public ConverterDialogTest {
 protected:
  void SetUp() override {
    ConverterDialogTest::SetUp();
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    record_ = std::string(folder) + UniqueName("record") + ".txt";
    DeleteFileA(record_.c_str());
    SetEnvironmentVariableA("FAKE_CONVERTER_RECORD", record_.c_str());
    SetEnvironmentVariableA("FAKE_CONVERTER_ACTIONS", nullptr);
  }
  void TearDown() override {
    DeleteFileA(record_.c_str());
    ConverterDialogTest::TearDown();
  }

  // Entries that pass every check: both paths and the rows 姓 and EMAIL.
  void FillValidEntries() {
    SetText(IDC_INPUT_PATH, kInput);
    SetText(IDC_OUTPUT_PATH, kOutput);
    CheckField("姓");
    CheckField("EMAIL");
  }

  // The command lines the stand-in was started with, in order.
  std::vector<std::string> Recorded() const {
    std::ifstream file(record_, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) lines.push_back(line);
    return lines;
  }

  // Starts with a Yes to the confirmation and OK to the completion; returns the one command
  // line the converter was started with.
  std::string RunConfirmed() {
    MessageBoxInterceptor boxes;
    boxes.Answer(IDYES);
    boxes.AnswerOk();
    Start();
    EXPECT_EQ(boxes.Boxes().size(), 2u);
    if (boxes.Boxes().size() == 2) {
      const RecordedBox& done = boxes.Boxes()[1];
      EXPECT_EQ(done.caption, kConfirm);
      EXPECT_EQ(done.text, kFinished);
      EXPECT_EQ(done.owner, Dialog());
    }
    const std::vector<std::string> lines = Recorded();
    EXPECT_EQ(lines.size(), 1u);
    return lines.empty() ? std::string() : lines[0];
  }

  void ExpectOnlyError(const char* text) {
    MessageBoxInterceptor boxes;
    boxes.AnswerOk();
    Start();
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].caption, kError);
    EXPECT_EQ(boxes.Boxes()[0].text, text) << Utf8(boxes.Boxes()[0].text);
    EXPECT_EQ(boxes.Boxes()[0].owner, Dialog());
    EXPECT_EQ(boxes.Boxes()[0].type, static_cast<UINT>(MB_OK | MB_SYSTEMMODAL));
    EXPECT_TRUE(Recorded().empty()) << "the converter was started";
  }

  std::string record_;
};

TEST_F(RequestTest, ReportsOnlyTheFirstMissingEntryInItsOrder) {
  SendMessageA(Item(IDC_USE_FULLNAME), BM_SETCHECK, BST_CHECKED, 0);
  SetText(IDC_DOMAIN, "");
  ExpectOnlyError("入力ファイルが指定されていません");
  SetText(IDC_INPUT_PATH, kInput);
  ExpectOnlyError("出力ファイルが指定されていません");
  SetText(IDC_OUTPUT_PATH, kOutput);
  ExpectOnlyError("出力項目にチェックが入っていません");
  CheckField("名");
  ExpectOnlyError("ドメインを入力して下さい。");
}

TEST_F(RequestTest, NoAtTheConfirmationRunsNothing) {
  FillValidEntries();
  MessageBoxInterceptor boxes;
  boxes.Answer(IDNO);
  Start();
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].caption, kConfirm);
  EXPECT_EQ(boxes.Boxes()[0].text, "変換処理を開始します。よろしいですか？");
  EXPECT_EQ(boxes.Boxes()[0].type, static_cast<UINT>(MB_YESNO | MB_SYSTEMMODAL));
  EXPECT_TRUE(Recorded().empty()) << "the converter was started";
}

TEST_F(RequestTest, WithoutTheOptionTwoBlanksFollowTheOutputPath) {
  FillValidEntries();
  EXPECT_EQ(RunConfirmed(), "Tamarack.exe \"C:\\in\\addr.txt\" \"C:\\out\\addr.csv\"  姓 EMAIL ");
}

TEST_F(RequestTest, TheOptionCarriesTheDomainAndFieldsFollowTheListOrder) {
  FillValidEntries();
  SelectRow(3);
  Click(IDC_MOVE_UP);
  Click(IDC_MOVE_UP);
  Click(IDC_MOVE_UP);
  SendMessageA(Item(IDC_USE_FULLNAME), BM_SETCHECK, BST_CHECKED, 0);
  SetText(IDC_DOMAIN, "abc");
  EXPECT_EQ(RunConfirmed(),
            "Tamarack.exe \"C:\\in\\addr.txt\" \"C:\\out\\addr.csv\" \"/E=FullName\" \"/D=abc\" "
            "EMAIL 姓 ");
}

TEST_F(RequestTest, ADomainOfOneBlankAndATrailingBackslashPassAsTyped) {
  SetText(IDC_INPUT_PATH, "C:\\in\\");
  SetText(IDC_OUTPUT_PATH, "出力.csv");
  CheckField("部署");
  SendMessageA(Item(IDC_USE_FULLNAME), BM_SETCHECK, BST_CHECKED, 0);
  SetText(IDC_DOMAIN, " ");
  EXPECT_EQ(RunConfirmed(),
            "Tamarack.exe \"C:\\in\\\" \"出力.csv\" \"/E=FullName\" \"/D= \" 部署 ");
}

// Two paths of 259 bytes and a long domain: far beyond 511 bytes, and every byte arrives.
TEST_F(RequestTest, LongEntriesReachTheConverterIntact) {
  std::string input = "C:\\";
  while (input.size() < 253) input += "住所録";
  input = input.substr(0, 253) + "\\a.txt";
  std::string output = "D:\\" + std::string(252, 'o') + ".csv";
  const std::string domain = std::string(400, 'd') + ".example.co.jp";
  ASSERT_EQ(input.size(), 259u);
  ASSERT_EQ(output.size(), 259u);
  SetText(IDC_INPUT_PATH, input);
  SetText(IDC_OUTPUT_PATH, output);
  Click(IDC_SELECT_ALL);
  SendMessageA(Item(IDC_USE_FULLNAME), BM_SETCHECK, BST_CHECKED, 0);
  SetText(IDC_DOMAIN, domain);
  const std::string expected = "Tamarack.exe \"" + input + "\" \"" + output +
                               "\" \"/E=FullName\" \"/D=" + domain +
                               "\" 宛先名 姓 名 EMAIL 会社名 部署 ";
  EXPECT_EQ(RunConfirmed(), expected);
}

// Timer procedures of the tests below; they run inside the runner's message pump.
HWND closing = nullptr;
HANDLE releaseEvent = nullptr;
std::string releaseName;
MessageBoxInterceptor* watching = nullptr;

// True once the confirmation has been answered and its box is gone: the run is on.
bool RunIsOn() { return watching->Boxes().size() == 1 && IsWindowEnabled(closing); }

void CALLBACK CloseDuringTheRun(HWND, UINT, UINT_PTR id, DWORD) {
  if (!RunIsOn()) return;
  KillTimer(nullptr, id);
  PostMessageA(closing, WM_CLOSE, 0, 0);
}

void CALLBACK ReleaseOnceClosed(HWND, UINT, UINT_PTR id, DWORD) {
  if (IsWindow(closing)) return;
  KillTimer(nullptr, id);
  SetEvent(releaseEvent);
}

void CALLBACK QuitWithNinetyNine(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  PostQuitMessage(99);
}

TEST_F(RequestTest, ClosingTheDialogDuringARunStillShowsTheCompletionAndEndsTheLoop) {
  FillValidEntries();
  const std::string release = UniqueName("release");
  releaseEvent = CreateEventA(nullptr, TRUE, FALSE, release.c_str());
  SetEnvironmentVariableA("FAKE_CONVERTER_ACTIONS", ("go=" + release).c_str());
  MessageBoxInterceptor boxes;
  watching = &boxes;
  closing = Dialog();
  boxes.Answer(IDYES);
  boxes.AnswerOk();
  SetTimer(nullptr, 0, 10, CloseDuringTheRun);
  SetTimer(nullptr, 0, 10, ReleaseOnceClosed);
  Start();
  CloseHandle(releaseEvent);

  ASSERT_EQ(boxes.Boxes().size(), 2u);
  EXPECT_EQ(boxes.Boxes()[1].text, kFinished);
  EXPECT_EQ(boxes.Boxes()[1].owner, nullptr);
  EXPECT_EQ(Dialog(), nullptr);
  EXPECT_EQ(Recorded().size(), 1u);
  // The quit the closing posted must reach the program's loop; 99 means it was lost.
  SetTimer(nullptr, 0, 5000, QuitWithNinetyNine);
  EXPECT_EQ(RunMessageLoop(), 0);
}

void CALLBACK StartAgainDuringTheRun(HWND, UINT, UINT_PTR id, DWORD) {
  if (!RunIsOn()) return;
  KillTimer(nullptr, id);
  // The nested converter lets the outer one go.
  SetEnvironmentVariableA("FAKE_CONVERTER_ACTIONS", ("set=" + releaseName).c_str());
  PostMessageA(closing, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

TEST_F(RequestTest, AStartDuringARunRunsANestedRequestToItsEnd) {
  FillValidEntries();
  releaseName = UniqueName("release");
  releaseEvent = CreateEventA(nullptr, TRUE, FALSE, releaseName.c_str());
  SetEnvironmentVariableA("FAKE_CONVERTER_ACTIONS", ("go=" + releaseName).c_str());
  MessageBoxInterceptor boxes;
  watching = &boxes;
  closing = Dialog();
  boxes.Answer(IDYES);
  boxes.Answer(IDYES);
  boxes.AnswerOk(2);
  SetTimer(nullptr, 0, 10, StartAgainDuringTheRun);
  Start();
  CloseHandle(releaseEvent);

  std::vector<std::string> texts;
  for (const RecordedBox& box : boxes.Boxes()) texts.push_back(box.text);
  EXPECT_EQ(texts, (std::vector<std::string>{"変換処理を開始します。よろしいですか？",
                                             "変換処理を開始します。よろしいですか？", kFinished,
                                             kFinished}));
  const std::vector<std::string> lines = Recorded();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], lines[1]);
}

}  // namespace
