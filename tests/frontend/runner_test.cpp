// The runner's watch over a converter: what it shows of the converter's standard error, how it
// ends, and a converter that cannot start. The failures of a started converter are tested with
// the request (request_test.cpp).
#include <thread>

#include "frontend/converter_runner.h"
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

using RunnerTest = ConverterDialogTest;

// A pipe filled before the first read, so the sizes do not depend on when a converter's writes
// land. While the converter runs each pass shows one box; the pass after the end shows all that
// is left. 亜 is 0x88 0x9F: as the 8191st byte its first byte is held back and opens the next
// box, which then takes 8189 more bytes. Text is shown up to a NUL; text that starts with one
// shows no box at all, not an empty one. A first byte at the very end is dropped: no box ends
// in one, and none holds it alone.
TEST_F(RunnerTest, ErrorTextFillsBoxesOf8191BytesNeverEndingInAFirstByte) {
  const std::string split = std::string(8190, 'a') + "亜" + std::string(8191, 'b');
  const std::vector<std::string> pieces{std::string(8190, 'a'), "亜" + std::string(8189, 'b'),
                                        "bb"};
  const struct {
    std::string text;
    bool ended;
    std::vector<std::string> shown;
  } cases[] = {
      {split, false, pieces},
      {split, true, pieces},
      {std::string("ab\0cd", 5), true, {"ab"}},
      {std::string("\0ab", 3), true, {}},
      {"ab\x88", true, {"ab"}},
      {"\x88", true, {}},
  };
  for (const auto& c : cases) {
    HANDLE read = nullptr, write = nullptr;
    DWORD written = 0;
    // Under Wine a pipe takes as many bytes as its size without a reader.
    ASSERT_TRUE(CreatePipe(&read, &write, nullptr, 16384));
    WriteFile(write, c.text.data(), static_cast<DWORD>(c.text.size()), &written, nullptr);
    ASSERT_EQ(BytesWaiting(read), c.text.size());
    HANDLE process = c.ended ? CreateEventA(nullptr, TRUE, TRUE, nullptr)
                             : CreateThread(nullptr, 0, RunUntilDrained, read, 0, nullptr);
    QuitKeeper quit;
    MessageBoxInterceptor boxes;
    boxes.AnswerOk(static_cast<int>(c.shown.size()));
    // A quit waiting as the text arrives is kept away from the box, which it would close unseen.
    PostQuitMessage(0);
    EXPECT_TRUE(WatchConverter(dialog_, quit, process, nullptr, read).ended);
    Boxes expected;
    for (const std::string& text : c.shown) expected.push_back({Dialog(), "", text, kNotice});
    EXPECT_EQ(boxes.Boxes(), expected) << c.text.size() << " bytes, ended " << c.ended;
    for (HANDLE handle : {read, write, process}) CloseHandle(handle);
  }
}

// On a thread without windows: on the dialog's thread a display event that arrives late makes a
// wait report input before it fails, and the watch rightly runs one more pass.
TEST_F(RunnerTest, AFailedWaitEndsTheWatchAfterOnePass) {
  bool ended = true;
  int left = 0;
  std::thread([&] {
    MSG msg{};
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
    for (int i = 0; i < 2; ++i) PostThreadMessageA(GetCurrentThreadId(), WM_APP, 0, 0);
    QuitKeeper quit;
    ended = WatchConverter(dialog_, quit, nullptr, nullptr, nullptr).ended;
    while (PeekMessageA(&msg, nullptr, WM_APP, WM_APP, PM_REMOVE)) ++left;
  }).join();
  EXPECT_FALSE(ended);
  EXPECT_EQ(left, 1) << "one pass dispatches one of the two messages";
}

TEST_F(RunnerTest, AConverterThatCannotStartIsNamedWithTheSystemsReason) {
  MessageBoxInterceptor boxes;
  boxes.AnswerOk();
  std::string commandLine = "missing_converter.exe a b";
  QuitKeeper quit;
  RunConverter(dialog_, quit, &commandLine[0]);
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  // The system's reason, in the system's language, lies between the program and the code.
  RecordedBox box = boxes.Boxes()[0];
  const size_t from = box.text.find('\n') + 1, to = box.text.rfind(" (");
  if (from > 0 && to != std::string::npos && to > from) box.text.replace(from, to - from, "…");
  EXPECT_EQ(box,
            (RecordedBox{Dialog(), "エラー",
                         "missing_converter.exe を起動できませんでした。\n… (エラー 2)", kNotice}));
}

}  // namespace
