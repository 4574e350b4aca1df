// The conversion request, run against the recording stand-in: this executable sits in a folder
// of its own beside a copy of the fake converter named Tamarack.exe, which the platform's
// search finds first (the folder of the starting program).
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/frontend/dialog_fixture.h"

namespace {

const char kFinished[] = "処理が終了しました。";
const std::string kPlainRun =
    "Tamarack.exe \"C:\\in\\addr.txt\" \"C:\\out\\addr.csv\"  姓 EMAIL \n";

// Timer procedures of a held run (its stand-in waits for the release event), run inside the
// runner's pump; they act once the confirmation is answered and its box is gone.
HWND running = nullptr;
HANDLE release = nullptr;
std::string releaseName;
MessageBoxInterceptor* seen = nullptr;

bool RunIsOn() { return seen->Boxes().size() == 1 && IsWindowEnabled(running); }

void CALLBACK CloseThenRelease(HWND, UINT, UINT_PTR id, DWORD) {
  if (IsWindow(running)) {
    if (RunIsOn()) PostMessageA(running, WM_CLOSE, 0, 0);
    return;
  }
  KillTimer(nullptr, id);
  SetEvent(release);
}

void CALLBACK StartAgain(HWND, UINT, UINT_PTR id, DWORD) {
  if (!RunIsOn()) return;
  KillTimer(nullptr, id);
  // The nested stand-in releases the outer one.
  SetEnvironmentVariableA("FAKE_CONVERTER_ACTIONS", ("set=" + releaseName).c_str());
  PostMessageA(running, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

class RequestTest : public ConverterDialogTest {
 protected:
  void SetUp() override {
    ConverterDialogTest::SetUp();
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    record_ = folder + ("tamarack-record-" + std::to_string(GetCurrentProcessId()));
    DeleteFileA(record_.c_str());
    SetEnvironmentVariableA("FAKE_CONVERTER_RECORD", record_.c_str());
    SetText(IDC_INPUT_PATH, "C:\\in\\addr.txt");
    SetText(IDC_OUTPUT_PATH, "C:\\out\\addr.csv");
    CheckRow(1);  // 姓
    CheckRow(3);  // EMAIL
  }
  void TearDown() override {
    // Other tests of this process start the stand-in too: it must not record or wait for them.
    SetEnvironmentVariableA("FAKE_CONVERTER_RECORD", nullptr);
    SetEnvironmentVariableA("FAKE_CONVERTER_ACTIONS", nullptr);
    DeleteFileA(record_.c_str());
    ConverterDialogTest::TearDown();
  }

  // The command lines the stand-in was started with, one a line.
  std::string Recorded() const {
    std::ifstream file(record_, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  }

  // Starts with Yes to the confirmation; the completion owned by the dialog must follow.
  void RunConfirmed() {
    MessageBoxInterceptor boxes;
    boxes.Answer(IDYES);
    boxes.AnswerOk();
    Click(IDOK);
    ASSERT_FALSE(boxes.Boxes().empty());
    const RecordedBox& last = boxes.Boxes().back();
    EXPECT_TRUE(last.caption == "確認" && last.text == kFinished && last.owner == Dialog());
  }

  void StartHeldRun(MessageBoxInterceptor& boxes, TIMERPROC duringRun) {
    releaseName = "tamarack-release-" + std::to_string(GetCurrentProcessId());
    release = CreateEventA(nullptr, TRUE, FALSE, releaseName.c_str());
    SetEnvironmentVariableA("FAKE_CONVERTER_ACTIONS", ("go=" + releaseName).c_str());
    seen = &boxes;
    running = Dialog();
    SetTimer(nullptr, 0, 10, duringRun);
    Click(IDOK);
    CloseHandle(release);
  }

  std::string record_;
};

TEST_F(RequestTest, CommandLinesCarryTheEntriesByteForByteInTheListOrder) {
  RunConfirmed();
  // EMAIL moved to the top; a domain of one blank and a path ending in a backslash as typed.
  for (int row = 3; row > 0; --row) {
    SelectRow(row);
    Click(IDC_MOVE_UP);
  }
  SendMessageA(Item(IDC_USE_FULLNAME), BM_SETCHECK, BST_CHECKED, 0);
  SetText(IDC_DOMAIN, " ");
  SetText(IDC_INPUT_PATH, "C:\\in\\");
  SetText(IDC_OUTPUT_PATH, "出力.csv");
  RunConfirmed();
  // Two paths of 259 bytes and a long domain: far beyond 511 bytes, and every byte arrives.
  std::string input = "C:\\";
  while (input.size() < 253) input += "住所録";
  input = input.substr(0, 253) + "\\a.txt";
  const std::string output = "D:\\" + std::string(252, 'o') + ".csv";
  const std::string domain = std::string(400, 'd') + ".example.co.jp";
  ASSERT_EQ(input.size() + output.size(), 518u);
  SetText(IDC_INPUT_PATH, input);
  SetText(IDC_OUTPUT_PATH, output);
  SetText(IDC_DOMAIN, domain);
  Click(IDC_SELECT_ALL);
  RunConfirmed();
  EXPECT_EQ(Recorded(),
            kPlainRun +
                "Tamarack.exe \"C:\\in\\\" \"出力.csv\" \"/E=FullName\" \"/D= \" EMAIL 姓 \n"
                "Tamarack.exe \"" +
                input + "\" \"" + output + "\" \"/E=FullName\" \"/D=" + domain +
                "\" EMAIL 宛先名 姓 名 会社名 部署 \n");
}

TEST_F(RequestTest, AQuoteInTheDomainIsRefusedAndNothingStarts) {
  SendMessageA(Item(IDC_USE_FULLNAME), BM_SETCHECK, BST_CHECKED, 0);
  SetText(IDC_DOMAIN, "co.jp\" out.csv \"");
  MessageBoxInterceptor boxes;
  boxes.AnswerOk();
  Click(IDOK);
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(Utf8(boxes.Boxes()[0].text), Utf8("ドメインに「\"」は使えません"));
  EXPECT_EQ(Recorded(), "");
}

TEST_F(RequestTest, ClosingTheDialogDuringARunStillShowsTheCompletionAndQuitsWithZero) {
  MessageBoxInterceptor boxes;
  boxes.Answer(IDYES);
  boxes.AnswerOk();
  StartHeldRun(boxes, CloseThenRelease);
  ASSERT_EQ(boxes.Boxes().size(), 2u);
  EXPECT_TRUE(boxes.Boxes()[1].text == kFinished && boxes.Boxes()[1].owner == nullptr);
  EXPECT_EQ(Dialog(), nullptr);
  // The quit that the closing posted waits for the program's loop.
  MSG msg{};
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the quit was lost";
  EXPECT_EQ(msg.wParam, 0u);
}

TEST_F(RequestTest, AStartDuringARunRunsANestedRequestToItsEnd) {
  MessageBoxInterceptor boxes;
  boxes.Answer(IDYES);
  boxes.Answer(IDYES);
  boxes.AnswerOk(2);
  StartHeldRun(boxes, StartAgain);
  const std::string confirm = "変換処理を開始します。よろしいですか？";
  std::vector<std::string> texts;
  for (const RecordedBox& box : boxes.Boxes()) texts.push_back(box.text);
  EXPECT_EQ(texts, (std::vector<std::string>{confirm, confirm, kFinished, kFinished}));
  EXPECT_EQ(Recorded(), kPlainRun + kPlainRun);
}

}  // namespace
