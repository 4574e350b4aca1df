// The runner against fake_converter.exe, which lies beside this executable; its arguments
// script what it writes and how it ends.
#include <iostream>
#include <string>
#include <vector>

#include "frontend/converter_runner.h"
#include "frontend/error_text.h"
#include "tests/frontend/dialog_fixture.h"
#include "tests/support/message_box_interceptor.h"
#include "tests/support/pump.h"
#include "tests/support/text.h"

namespace {

class RunnerTest : public ConverterDialogTest {
 protected:
  void Run(const std::string& arguments) {
    std::string commandLine = "fake_converter.exe " + arguments;
    dialog_.RunConverter(commandLine.data());
  }
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const RecordedBox& box : boxes_.Boxes()) texts.push_back(box.text);
    return texts;
  }
  std::string AllText() const {
    std::string all;
    for (const RecordedBox& box : boxes_.Boxes()) all += box.text;
    return all;
  }

  MessageBoxInterceptor boxes_;
};

// Starts fake_converter.exe with both pipes, as the runner does, and waits for its end before
// the watch begins: what it wrote waits in the pipes for the pass after the end.
class EndedConverter {
 public:
  explicit EndedConverter(const std::string& arguments) {
    SECURITY_ATTRIBUTES attributes{sizeof(attributes), nullptr, TRUE};
    CreatePipe(&outputRead_, &outputWrite_, &attributes, 8192);
    CreatePipe(&errorRead_, &errorWrite_, &attributes, 8192);
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = outputWrite_;
    startup.hStdError = errorWrite_;
    std::string commandLine = "fake_converter.exe " + arguments;
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, DETACHED_PROCESS,
                        nullptr, nullptr, &startup, &process_)) {
      ADD_FAILURE() << "cannot start " << commandLine;
      return;
    }
    ended_ = PumpUntil([&] { return WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0; });
  }
  ~EndedConverter() {
    for (HANDLE handle : {process_.hProcess, process_.hThread, outputWrite_, outputRead_,
                          errorWrite_, errorRead_}) {
      if (handle != nullptr) CloseHandle(handle);
    }
  }
  bool Ended() const { return ended_; }
  RunOutcome Watch(const WindowHandle& owner) {
    QuitKeeper quit;
    return WatchConverter(owner, quit, process_.hProcess, outputRead_, errorRead_);
  }

 private:
  PROCESS_INFORMATION process_{};
  HANDLE outputRead_ = nullptr, outputWrite_ = nullptr, errorRead_ = nullptr, errorWrite_ = nullptr;
  bool ended_ = false;
};

TEST_F(RunnerTest, AConverterWithoutErrorTextShowsNoBox) {
  Run("out=100");
  EXPECT_TRUE(boxes_.Boxes().empty());
}

TEST_F(RunnerTest, ShortTextWrittenJustBeforeTheEndIsShown) {
  EndedConverter converter("err=broken");
  ASSERT_TRUE(converter.Ended()) << "the converter did not end";
  boxes_.AnswerOk();
  EXPECT_TRUE(converter.Watch(dialog_).wroteErrorText);
  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  EXPECT_EQ(boxes_.Boxes()[0].text, "broken");
  EXPECT_EQ(boxes_.Boxes()[0].caption, "");
  EXPECT_EQ(boxes_.Boxes()[0].owner, Dialog());
  EXPECT_EQ(boxes_.Boxes()[0].type, static_cast<UINT>(MB_OK | MB_SYSTEMMODAL));
}

TEST_F(RunnerTest, LongTextWhileRunningFillsConsecutiveBoxesOf8191Bytes) {
  boxes_.AnswerOk(2);
  Run("erra=9000 sleep=300");
  EXPECT_EQ(Texts(), (std::vector<std::string>{std::string(8191, 'a'), std::string(809, 'a')}));
}

TEST_F(RunnerTest, ABoxNeverEndsInTheFirstByteOfACharacter) {
  boxes_.AnswerOk(2);
  // 亜 is 0x88 0x9F, and 0x9F is also a first byte: only a scan from the start tells them apart.
  Run("errj=5000 sleep=300");
  ASSERT_EQ(boxes_.Boxes().size(), 2u);
  EXPECT_EQ(Texts()[0].size(), 8190u);
  EXPECT_EQ(Texts()[1].size(), 1810u);
  std::string all;
  for (int i = 0; i < 5000; ++i) all += "亜";
  EXPECT_TRUE(AllText() == all) << "the boxes do not add up to the text written";
}

TEST_F(RunnerTest, MegabytesOnStandardOutputDoNotStallTheConverter) {
  boxes_.AnswerOk();
  const ULONGLONG start = GetTickCount64();
  Run("out=16000000 err=done");
  std::cout << "16 MB of standard output took " << GetTickCount64() - start << " ms\n";
  EXPECT_EQ(Texts(), std::vector<std::string>{"done"});
}

TEST_F(RunnerTest, TextLeftAfterTheEndIsShownToTheLastByte) {
  // A full pipe: 8190 bytes "a" and one 亜, whose first byte is the 8191st.
  EndedConverter converter("erra=8190 errj=1");
  ASSERT_TRUE(converter.Ended()) << "the converter did not end";
  boxes_.AnswerOk(2);
  converter.Watch(dialog_);
  EXPECT_EQ(Texts(), (std::vector<std::string>{std::string(8190, 'a'), "亜"}));
}

TEST_F(RunnerTest, AMissingConverterIsReportedWithTheSystemsReason) {
  boxes_.AnswerOk();
  std::string commandLine = "missing_converter.exe a b";
  dialog_.RunConverter(commandLine.data());
  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  const RecordedBox& box = boxes_.Boxes()[0];
  EXPECT_EQ(box.caption, "エラー");
  EXPECT_EQ(box.text.rfind("missing_converter.exe ", 0), 0u) << Utf8(box.text);
  EXPECT_NE(box.text.find("(エラー 2)"), std::string::npos) << Utf8(box.text);
  EXPECT_GT(box.text.size(),
            std::string("missing_converter.exe を起動できませんでした。\n (エラー 2)").size())
      << "no reason given: " << Utf8(box.text);
}

TEST_F(RunnerTest, ASilentFailureIsReportedWithItsExitCode) {
  boxes_.AnswerOk();
  Run("exit=3");
  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  EXPECT_EQ(boxes_.Boxes()[0].caption, "エラー");
  EXPECT_NE(boxes_.Boxes()[0].text.find("終了コード 3 "), std::string::npos)
      << Utf8(boxes_.Boxes()[0].text);
}

TEST_F(RunnerTest, ACrashIsReportedWithItsExceptionCode) {
  boxes_.AnswerOk();
  Run("crash");
  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  EXPECT_NE(boxes_.Boxes()[0].text.find("0xC0000005"), std::string::npos)
      << Utf8(boxes_.Boxes()[0].text);
}

TEST_F(RunnerTest, AFailureThatExplainsItselfGetsNoExitCodeBox) {
  boxes_.AnswerOk();
  Run("err=bad exit=2");
  EXPECT_EQ(Texts(), std::vector<std::string>{"bad"});
}

// A wait that fails ends the watch after exactly one pass: one of two messages is dispatched.
TEST(WatchTest, AFailedWaitEndsAfterOnePass) {
  QuitKeeper quit;
  WindowHandle owner;
  PostThreadMessageA(GetCurrentThreadId(), WM_APP, 0, 0);
  PostThreadMessageA(GetCurrentThreadId(), WM_APP, 0, 0);
  const RunOutcome outcome = WatchConverter(owner, quit, nullptr, nullptr, nullptr);
  EXPECT_FALSE(outcome.ended);
  MSG msg{};
  int left = 0;
  while (PeekMessageA(&msg, nullptr, WM_APP, WM_APP, PM_REMOVE)) ++left;
  EXPECT_EQ(left, 1);
}

TEST(ErrorTextTest, HoldsBackAFirstByteThatEndsARead) {
  ErrorTextPieces pieces;
  // 亜 亜 then the first byte of a third 亜: the last 0x9F is a trail byte, not a first byte.
  const std::string read = "亜亜\x88";
  EXPECT_EQ(pieces.Add(read.data(), read.size()), "亜亜");
  EXPECT_EQ(pieces.Room(), 8190u);
  EXPECT_EQ(pieces.Add("\x9F"
                       "a",
                       2),
            "亜a");
  EXPECT_EQ(pieces.Add("\x88", 1), "");
  EXPECT_EQ(pieces.TakeRest(), "\x88");
}

TEST(ErrorTextTest, TextEndsAtItsFirstNul) {
  ErrorTextPieces pieces;
  EXPECT_EQ(pieces.Add("ab\0cd", 5), "ab");
  EXPECT_EQ(pieces.TakeRest(), "");
}

}  // namespace
