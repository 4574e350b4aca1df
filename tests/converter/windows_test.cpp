// The converter's texts on their way to pipes and consoles, a replace that fails, and a run
// interrupted by Ctrl+C.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "console.h"
#include "driver/remote_ui.h"
#include "platform.h"
#include "run.h"

namespace tamarack {
namespace {

namespace fs = std::filesystem;

// The front-end shows each piece it reads as a box of its own. A message-mode pipe hands out
// each write in one read: one read must hold the whole text, however long.
TEST(WindowsTest, APipeGetsEachTextInOneWriteAsCodePage932) {
  const char name[] = "\\\\.\\pipe\\tamarack-error-text";
  const HANDLE end =
      CreateNamedPipeA(name, PIPE_ACCESS_INBOUND, PIPE_TYPE_MESSAGE, 1, 0, 65536, 0, nullptr);
  const HANDLE saved = GetStdHandle(STD_ERROR_HANDLE);
  SetStdHandle(STD_ERROR_HANDLE,
               CreateFileA(name, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  WriteStandardStream(StandardStream::kError, std::string(5000, 'x') + "\n警告: 表\n");
  CloseHandle(GetStdHandle(STD_ERROR_HANDLE));
  SetStdHandle(STD_ERROR_HANDLE, saved);
  std::string text(65536, '\0');
  DWORD read = 0;
  EXPECT_TRUE(ReadFile(end, text.data(), 65536, &read, nullptr));
  text.resize(read);
  // CR LF line ends, as the C runtime's text mode wrote them before.
  EXPECT_EQ(text, std::string(5000, 'x') + "\r\n警告: 表\r\n");
  CloseHandle(end);
}

// A console shows the text as meant whatever its code page: 437 here, as in an English command
// prompt. Relies on Wine's console giving a full-width character one cell.
TEST(WindowsTest, AConsoleShowsJapaneseWhateverItsCodePage) {
  FreeConsole();
  ASSERT_TRUE(AllocConsole());
  SetConsoleOutputCP(437);
  WriteStandardStream(StandardStream::kOutput, "使い方: Tamarack\n");
  std::wstring line(13, L'\0');
  DWORD read = 0;
  ReadConsoleOutputCharacterW(GetStdHandle(STD_OUTPUT_HANDLE), line.data(), 13, {0, 0}, &read);
  EXPECT_EQ(line, L"使い方: Tamarack");
  FreeConsole();
}

std::string Contents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return in ? std::string(std::istreambuf_iterator<char>(in), {}) : "(none)";
}

// A replace that fails keeps the previous output, under its own name where it can be put back,
// and leaves nothing else behind. Held open without sharing deletion, it makes ReplaceFileA
// fail before anything moves. The states a replace can be left in half-way are laid out by
// hand: the previous output under the backup name (its own name free, or taken meanwhile), or
// gone.
TEST(WindowsTest, AFailedReplaceKeepsThePreviousOutput) {
  fs::remove_all("replace");
  fs::create_directory("replace");
  std::ofstream("replace\\out.csv") << "old";
  {
    OutputFile output;
    ASSERT_EQ(output.Begin("replace\\out.csv"), 0u);
    ASSERT_EQ(output.Write("new", 3), 0u);
    const HANDLE held = CreateFileA("replace\\out.csv", GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(output.Commit(), 0u);
    CloseHandle(held);
    EXPECT_EQ(output.PreviousKeptAs() + output.NewKeptAs(), "");
  }
  EXPECT_EQ(Contents("replace\\out.csv"), "old");
  EXPECT_EQ(std::distance(fs::directory_iterator("replace"), {}), 1) << "a file left behind";

  const struct {
    const char* target;  // what out.csv holds before, null for no out.csv
    bool backedUp;       // old.tmp holds the previous output
    std::string previousKeptAs, after;
  } cases[] = {
      {nullptr, true, "", "old"},
      {"taken", true, "replace\\old.tmp", "taken"},
      {nullptr, false, "", "new"},
  };
  for (const auto& c : cases) {
    fs::remove_all("replace");
    fs::create_directory("replace");
    std::ofstream("replace\\new.tmp") << "new";
    if (c.backedUp) std::ofstream("replace\\old.tmp") << "old";
    if (c.target != nullptr) std::ofstream("replace\\out.csv") << c.target;
    const FailedReplace left =
        SettleFailedReplace("replace\\out.csv", "replace\\new.tmp", "replace\\old.tmp");
    EXPECT_EQ(left.previousKeptAs, c.previousKeptAs);
    EXPECT_EQ(left.newInPlace, !c.backedUp);
    EXPECT_EQ(left.newKeptAs, "");
    EXPECT_EQ(Contents("replace\\out.csv"), c.after);
    EXPECT_EQ(Contents("replace\\old.tmp"), c.previousKeptAs.empty() ? "(none)" : "old");
  }
  fs::remove_all("replace");
}

// A book through a named pipe, as another program hands one over: its byte order mark alone
// first (a pipe's flush returns once the reader has taken what was written), then more than a
// read of records. The conversion starts again once the mark is whole, from its copy of what the
// pipe delivered, which the system removes with the run.
TEST(WindowsTest, ABookThroughANamedPipeConvertsRight) {
  fs::remove_all("piped");
  fs::create_directory("piped");
  const char name[] = "\\\\.\\pipe\\tamarack-book";
  const HANDLE server =
      CreateNamedPipeA(name, PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE, 1, 0, 0, 0, nullptr);
  ASSERT_NE(server, INVALID_HANDLE_VALUE) << GetLastError();
  std::string rest = "Form: Group\r\nLastName: NotAPerson\r\n\r\nLastName: A\r\n";
  while (rest.size() <= kReadSize) rest += "Comment: " + std::string(70, 'c') + "\r\n";
  rest += "\r\nLastName: C\r\n";
  // Each write and flush fails at once when the reader has gone.
  std::thread writer([server, &rest] {
    DWORD written = 0;
    if ((ConnectNamedPipe(server, nullptr) || GetLastError() == ERROR_PIPE_CONNECTED) &&
        WriteFile(server, "\xEF\xBB\xBF", 3, &written, nullptr) && FlushFileBuffers(server)) {
      WriteFile(server, rest.data(), static_cast<DWORD>(rest.size()), &written, nullptr);
      FlushFileBuffers(server);
    }
    CloseHandle(server);
  });
  // The copy goes to the folder for temporary files, which TMP names.
  char saved[MAX_PATH] = "";
  const bool hadTmp = GetEnvironmentVariableA("TMP", saved, MAX_PATH) != 0;
  SetEnvironmentVariableA("TMP", fs::absolute("piped").string().c_str());
  std::string out, err;
  const int code = tamarack::Run({name, "piped\\out.csv", "姓"}, out, err);
  SetEnvironmentVariableA("TMP", hadTmp ? saved : nullptr);
  // A run that failed before it opened the pipe leaves the writer waiting for a reader: this one
  // takes its place. After a run that opened it, the pipe is busy or gone.
  const HANDLE late = CreateFileA(name, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (late != INVALID_HANDLE_VALUE) {
    char bytes[65536];
    DWORD read = 0;
    while (ReadFile(late, bytes, sizeof bytes, &read, nullptr)) {
    }
    CloseHandle(late);
  }
  writer.join();
  EXPECT_EQ(code, kExitSuccess) << err;
  EXPECT_EQ(Contents("piped\\out.csv"), "姓\r\nA\r\nC\r\n");
  EXPECT_NE(out.find("（人物以外のレコード 1 件を除外）"), std::string::npos) << out;
  EXPECT_EQ(err, "");
  EXPECT_EQ(std::distance(fs::directory_iterator("piped"), {}), 1) << "a file left behind";
  fs::remove_all("piped");
}

BOOL WINAPI KeepRunning(DWORD) { return TRUE; }

// Tamarack.exe from beside this test reads an input that never ends, so it waits in its first
// read with its temporary output begun. Wine sends Ctrl+C only to every process of a console
// at once: this test has a console of its own and a handler that keeps it running.
TEST(WindowsTest, ControlCRemovesTheTemporaryOutput) {
  fs::remove_all("interrupted");
  fs::create_directory("interrupted");
  const HANDLE input = CreateNamedPipeA("\\\\.\\pipe\\tamarack-endless", PIPE_ACCESS_OUTBOUND, 0, 1,
                                        0, 0, 0, nullptr);
  FreeConsole();
  ASSERT_TRUE(AllocConsole());
  SetConsoleCtrlHandler(KeepRunning, TRUE);
  char commandLine[] = "Tamarack.exe \\\\.\\pipe\\tamarack-endless interrupted\\out.csv 姓";
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &process))
      << "error " << GetLastError();
  EXPECT_TRUE(PollUntil([] { return !fs::is_empty("interrupted"); }, 10000))
      << "no temporary output";
  GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0);
  EXPECT_TRUE(PollUntil([] { return fs::is_empty("interrupted"); }, 10000))
      << "the temporary output stays";
  TerminateProcess(process.hProcess, 1);
  for (HANDLE handle : {process.hProcess, process.hThread, input}) CloseHandle(handle);
  FreeConsole();
}

}  // namespace
}  // namespace tamarack
