// The runner against fake_converter.exe, which lies beside this executable; its arguments
// script what it writes and how it ends.
#include <string>
#include <vector>

#include "frontend/converter_runner.h"
#include "frontend/error_text.h"
#include "tests/frontend/dialog_fixture.h"

namespace {

DWORD BytesWaiting(HANDLE pipe) {
  DWORD waiting = 0;
  PeekNamedPipe(pipe, nullptr, 0, nullptr, &waiting, nullptr);
  return waiting;
}

// Stands in for a converter that runs until the runner has read all it wrote.
DWORD WINAPI RunUntilDrained(void* pipe) {
  while (BytesWaiting(pipe) > 0) Sleep(1);
  return 0;
}

class RunnerTest : public ConverterDialogTest {
 protected:
  // Runs commandLine and answers the count boxes it must show; returns them.
  std::vector<RecordedBox> Run(std::string commandLine, int count) {
    MessageBoxInterceptor boxes;
    boxes.AnswerOk(count);
    RunConverter(dialog_, quit_, &commandLine[0]);
    return boxes.Boxes();
  }

  QuitKeeper quit_;
};

// A full pipe waits before the first read, so the sizes do not depend on when the converter's
// writes land. While the converter runs each pass shows one box; the pass after the end shows
// all that is left. 亜 is 0x88 0x9F: as the 8191st byte its first byte opens the next box.
TEST_F(RunnerTest, ErrorTextFillsBoxesOf8191BytesNeverEndingInAFirstByte) {
  const std::string full(8192, 'a'), split = std::string(8190, 'a') + "亜";
  const struct {
    const std::string& text;
    bool ended;
    std::vector<std::string> shown;
  } cases[] = {
      {full, false, {std::string(8191, 'a'), "a"}},
      {split, false, {std::string(8190, 'a'), "亜"}},
      {full, true, {std::string(8191, 'a'), "a"}},
      {split, true, {std::string(8190, 'a'), "亜"}},
  };
  for (const auto& c : cases) {
    HANDLE read = nullptr, write = nullptr;
    DWORD written = 0;
    ASSERT_TRUE(CreatePipe(&read, &write, nullptr, 8192));
    WriteFile(write, c.text.data(), static_cast<DWORD>(c.text.size()), &written, nullptr);
    ASSERT_EQ(BytesWaiting(read), 8192u);
    HANDLE process = c.ended ? CreateEventA(nullptr, TRUE, TRUE, nullptr)
                             : CreateThread(nullptr, 0, RunUntilDrained, read, 0, nullptr);
    MessageBoxInterceptor boxes;
    boxes.AnswerOk(2);
    const RunOutcome outcome = WatchConverter(dialog_, quit_, process, nullptr, read);
    EXPECT_TRUE(outcome.ended && outcome.wroteErrorText) << "ended " << c.ended;
    std::vector<std::string> shown;
    for (const RecordedBox& box : boxes.Boxes()) shown.push_back(box.text);
    EXPECT_EQ(shown, c.shown) << "ended " << c.ended;
    for (HANDLE handle : {read, write, process}) CloseHandle(handle);
  }

  // A wait that fails ends the watch after one pass, which dispatches one message.
  PumpPending();
  PostMessageA(Dialog(), WM_APP, 0, 0);
  PostMessageA(Dialog(), WM_APP, 0, 0);
  EXPECT_FALSE(WatchConverter(dialog_, quit_, nullptr, nullptr, nullptr).ended);
  MSG msg{};
  EXPECT_TRUE(PeekMessageA(&msg, nullptr, WM_APP, WM_APP, PM_REMOVE));
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_APP, WM_APP, PM_REMOVE)) << "not one pass";
}

// However the writes of a real converter land, the boxes add up to its text and none ends in
// the first byte of a character.
TEST_F(RunnerTest, ARunningConvertersErrorTextArrivesWhole) {
  std::string written, shown;
  for (int i = 0; i < 5000; ++i) written += "亜";
  MessageBoxInterceptor boxes;
  boxes.AnswerOkToAll();
  std::string commandLine = "fake_converter.exe errj=5000 sleep=300";
  RunConverter(dialog_, quit_, &commandLine[0]);
  for (const RecordedBox& box : boxes.Boxes()) {
    EXPECT_LE(box.text.size(), 8191u);
    EXPECT_EQ(WholeCharacterLength(box.text), box.text.size()) << "a box ends in a first byte";
    EXPECT_EQ(box.caption, "");
    EXPECT_EQ(box.owner, Dialog());
    EXPECT_EQ(box.type, static_cast<UINT>(MB_OK | MB_SYSTEMMODAL));
    shown += box.text;
  }
  EXPECT_TRUE(shown == written) << "the boxes do not add up to the text written";
}

TEST_F(RunnerTest, FailuresAreReportedOnceAndMegabytesOfOutputDoNotStall) {
  const ULONGLONG start = GetTickCount64();
  Run("fake_converter.exe out=16000000", 0);
  EXPECT_LT(GetTickCount64() - start, 20000u) << "16 MB of standard output took too long";
  const char* const cases[][3] = {
      {"fake_converter.exe exit=3", "エラー",
       "fake_converter.exe が終了コード 3 (0x00000003) で終了しました。"},
      {"fake_converter.exe crash", "エラー",
       "fake_converter.exe が終了コード 3221225477 (0xC0000005) で終了しました。"},
      {"fake_converter.exe err=bad exit=2", "", "bad"}};
  for (const auto& c : cases) {
    const std::vector<RecordedBox> boxes = Run(c[0], 1);
    ASSERT_EQ(boxes.size(), 1u) << c[0];
    EXPECT_EQ(boxes[0].caption, c[1]);
    EXPECT_EQ(boxes[0].text, c[2]) << Utf8(boxes[0].text);
  }
  const std::string text = Run("missing_converter.exe a b", 1).at(0).text;
  const std::string failed = "missing_converter.exe を起動できませんでした。\n",
                    code = " (エラー 2)";
  EXPECT_TRUE(text.rfind(failed, 0) == 0 && text.size() > failed.size() + code.size() &&
              text.compare(text.size() - code.size(), code.size(), code) == 0)
      << "not the program, the system's reason and the code: " << Utf8(text);
}

}  // namespace
