// The runner against fake_converter.exe, which lies beside this executable; its arguments
// script what it writes and how it ends.
#include <string>
#include <vector>

#include "frontend/converter_runner.h"
#include "tests/frontend/dialog_fixture.h"

namespace {

class RunnerTest : public ConverterDialogTest {
 protected:
  // Runs commandLine and answers the count boxes it must show; returns them.
  std::vector<RecordedBox> Run(std::string commandLine, int count) {
    MessageBoxInterceptor boxes;
    boxes.AnswerOk(count);
    dialog_.RunConverter(&commandLine[0]);
    return boxes.Boxes();
  }
};

TEST_F(RunnerTest, ErrorTextFillsBoxesOf8191BytesNeverEndingInAFirstByte) {
  std::vector<RecordedBox> boxes = Run("fake_converter.exe erra=9000 sleep=300", 2);
  // 亜 is 0x88 0x9F, and 0x9F is also a first byte: only a scan from the start tells them apart.
  for (const RecordedBox& box : Run("fake_converter.exe errj=5000 sleep=300", 2)) {
    boxes.push_back(box);
  }
  std::string written(9000, 'a'), shown;
  std::vector<size_t> sizes;
  for (int i = 0; i < 5000; ++i) written += "亜";
  for (const RecordedBox& box : boxes) sizes.push_back(box.text.size()), shown += box.text;
  EXPECT_EQ(sizes, (std::vector<size_t>{8191, 809, 8190, 1810}));
  EXPECT_TRUE(shown == written) << "the boxes do not add up to the text written";
  EXPECT_TRUE(boxes[0].caption.empty() && boxes[0].owner == Dialog() &&
              boxes[0].type == static_cast<UINT>(MB_OK | MB_SYSTEMMODAL));
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

// Watches that begin with the end already signalled, or with a wait that fails.
TEST_F(RunnerTest, ThePassAfterTheEndShowsAllTextLeftAndDispatchesOneMessage) {
  // A full pipe: 8190 bytes "a" and one 亜, whose first byte is the 8191st.
  const std::string text = std::string(8190, 'a') + "亜";
  HANDLE read = nullptr, write = nullptr, ended = CreateEventA(nullptr, TRUE, TRUE, nullptr);
  DWORD written = 0;
  CreatePipe(&read, &write, nullptr, 8192);
  WriteFile(write, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  QuitKeeper quit;
  MessageBoxInterceptor boxes;
  boxes.AnswerOk(2);
  const RunOutcome outcome = WatchConverter(dialog_, quit, ended, nullptr, read);
  EXPECT_TRUE(outcome.ended && outcome.wroteErrorText);
  ASSERT_EQ(boxes.Boxes().size(), 2u);
  EXPECT_EQ(boxes.Boxes()[0].text, std::string(8190, 'a'));
  EXPECT_EQ(boxes.Boxes()[1].text, "亜");
  for (HANDLE handle : {read, write, ended}) CloseHandle(handle);

  PumpPending();
  PostMessageA(Dialog(), WM_APP, 0, 0);
  PostMessageA(Dialog(), WM_APP, 0, 0);
  EXPECT_FALSE(WatchConverter(dialog_, quit, nullptr, nullptr, nullptr).ended);
  MSG msg{};
  EXPECT_TRUE(PeekMessageA(&msg, nullptr, WM_APP, WM_APP, PM_REMOVE));
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_APP, WM_APP, PM_REMOVE)) << "not one pass";
}

}  // namespace
