// The converter's texts on their way to pipes and consoles, file names that code page 932 cannot
// hold, replaces that meet a scanner, a share or a failure half-way, and runs ended from outside.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "common/wide_text.h"
#include "console.h"
#include "driver/remote_ui.h"
#include "platform.h"
#include "replace_win.h"
#include "run.h"

namespace tamarack {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

void WriteBytes(const std::wstring& path, const std::string& bytes) {
  const HANDLE file =
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

std::string ReadBytes(const std::wstring& path) {
  const HANDLE file =
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "(none)";
  std::string bytes(65536, '\0');
  DWORD read = 0;
  ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  CloseHandle(file);
  bytes.resize(read);
  return bytes;
}

// The names in folder, sorted, in UTF-8; a temporary file's number, which varies, as '*'.
std::string Listing(const std::wstring& folder) {
  Strings names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    std::string name;
    Utf8FromWide(entry.path().filename().wstring(), name);
    names.push_back(std::regex_replace(name, std::regex("^tmk[0-9A-Fa-f]+\\.tmp$"), "tmk*.tmp"));
  }
  std::sort(names.begin(), names.end());
  std::string listing;
  for (const std::string& name : names) listing += name + "|";
  return listing;
}

// The folder, made empty, with its full path in code page 932 as the converter's texts name it.
std::string EmptyFolder(const std::wstring& folder) {
  fs::remove_all(folder);
  fs::create_directory(folder);
  wchar_t full[MAX_PATH] = {};
  GetFullPathNameW(folder.c_str(), MAX_PATH, full, nullptr);
  return Cp932ForDisplay(full) + "\\";
}

// What a converter started from this test wrote, and how it ended.
struct Finished {
  DWORD exitCode = 0xFFFFFFFF;
  std::string out, err;
};

// The converter beside this test, started by start with its standard output and error in pipes.
class Converter {
 public:
  template <typename Start>
  explicit Converter(Start start) {
    SECURITY_ATTRIBUTES inherited{static_cast<DWORD>(sizeof(SECURITY_ATTRIBUTES)), nullptr, TRUE};
    HANDLE outWrite = nullptr, errWrite = nullptr;
    CreatePipe(&out_, &outWrite, &inherited, 65536);
    CreatePipe(&err_, &errWrite, &inherited, 65536);
    started_ = start(outWrite, errWrite, process_);
    CloseHandle(outWrite);
    CloseHandle(errWrite);
  }
  ~Converter() {
    if (started_) TerminateProcess(process_.hProcess, 1);
    for (HANDLE handle : {out_, err_, process_.hProcess, process_.hThread}) CloseHandle(handle);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Waits for the end; the texts are whole by then, as the converter writes them at its end.
  Finished Await() {
    Finished finished;
    if (!started_ || WaitForSingleObject(process_.hProcess, 30000) != WAIT_OBJECT_0) {
      ADD_FAILURE() << "the converter did not start, or had not ended within 30 s";
      return finished;
    }
    started_ = false;
    GetExitCodeProcess(process_.hProcess, &finished.exitCode);
    finished.out = ReadAll(out_);
    finished.err = ReadAll(err_);
    return finished;
  }
  HANDLE Process() const { return process_.hProcess; }

 private:
  static std::string ReadAll(HANDLE pipe) {
    std::string text(65536, '\0');
    DWORD read = 0;
    DWORD waiting = 0;
    if (PeekNamedPipe(pipe, nullptr, 0, nullptr, &waiting, nullptr) && waiting > 0) {
      ReadFile(pipe, text.data(), static_cast<DWORD>(text.size()), &read, nullptr);
    }
    text.resize(read);
    return text;
  }

  HANDLE out_ = nullptr, err_ = nullptr;
  PROCESS_INFORMATION process_{};
  bool started_ = false;
};

template <typename StartupInfo>
StartupInfo WithStandardHandles(HANDLE out, HANDLE err) {
  StartupInfo startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = out;
  startup.hStdError = err;
  return startup;
}

// As a command prompt starts it: the command line in UTF-16.
Finished RunFromCommandPrompt(std::wstring commandLine) {
  Converter converter([&](HANDLE out, HANDLE err, PROCESS_INFORMATION& process) {
    STARTUPINFOW startup = WithStandardHandles<STARTUPINFOW>(out, err);
    return CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                          &startup, &process) != FALSE;
  });
  return converter.Await();
}

// As the front-end starts it: the command line in code page 932, which the system turns into
// UTF-16 through this process's code page, 932 by its manifest.
Converter StartAsTheFrontEnd(std::string commandLine) {
  return Converter([&](HANDLE out, HANDLE err, PROCESS_INFORMATION& process) {
    STARTUPINFOA startup = WithStandardHandles<STARTUPINFOA>(out, err);
    return CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, DETACHED_PROCESS,
                          nullptr, nullptr, &startup, &process) != FALSE;
  });
}

// The front-end shows each piece it reads as a box of its own. A message-mode pipe hands out
// each write in one read: one read must hold the whole text, however long. A name that code
// page 932 holds is its bytes; one that it cannot hold has a '?' for each character it lacks
// (an emoji too, two units of UTF-16), never a look-alike.
TEST(WindowsTest, APipeGetsEachTextInOneWriteAsCodePage932) {
  const char name[] = "\\\\.\\pipe\\tamarack-error-text";
  const HANDLE end =
      CreateNamedPipeA(name, PIPE_ACCESS_INBOUND, PIPE_TYPE_MESSAGE, 1, 0, 65536, 0, nullptr);
  const HANDLE saved = GetStdHandle(STD_ERROR_HANDLE);
  SetStdHandle(STD_ERROR_HANDLE,
               CreateFileA(name, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  WriteStandardStream(StandardStream::kError, std::string(5000, 'x') +
                                                  "\n警告: " + MessageName(u8"表 ソ.txt") + " " +
                                                  MessageName(u8"Café\u00A5\U0001F600.txt") + "\n");
  CloseHandle(GetStdHandle(STD_ERROR_HANDLE));
  SetStdHandle(STD_ERROR_HANDLE, saved);
  std::string text(65536, '\0');
  DWORD read = 0;
  EXPECT_TRUE(ReadFile(end, text.data(), 65536, &read, nullptr));
  text.resize(read);
  // CR LF line ends, as the C runtime's text mode wrote them before.
  EXPECT_EQ(text, std::string(5000, 'x') + "\r\n警告: 表 ソ.txt Caf???.txt\r\n");
  CloseHandle(end);
}

// A console shows the text as meant whatever its code page: 437 here, as in an English command
// prompt, and a name in full. Relies on Wine's console giving a full-width character one cell.
TEST(WindowsTest, AConsoleShowsJapaneseAndEveryNameWhateverItsCodePage) {
  FreeConsole();
  ASSERT_TRUE(AllocConsole());
  SetConsoleOutputCP(437);
  WriteStandardStream(StandardStream::kOutput, "使い方: " + MessageName(u8"Café") + "\n");
  std::wstring line(9, L'\0');
  DWORD read = 0;
  ReadConsoleOutputCharacterW(GetStdHandle(STD_OUTPUT_HANDLE), line.data(), 9, {0, 0}, &read);
  EXPECT_EQ(line, L"使い方: Caf\u00E9");
  FreeConsole();
}

// A name that code page 932 cannot hold is the file the user named, not the one its look-alike
// names: Café.txt beside Cafe.txt, a¥b.txt beside a\b.txt (¥'s look-alike is the backslash).
// What the front-end passes in code page 932 arrives unchanged, characters whose mapping varies
// between systems among them. A name that UTF-16 itself cannot carry over is refused.
TEST(WindowsTest, TheConverterConvertsTheFileItIsGiven) {
  const std::string full = EmptyFolder(L"names");
  fs::create_directory(L"names\\a");
  const std::string right = "LastName: 正しい\r\n", wrong = "LastName: 違う\r\n";
  const std::wstring cafe = L"names\\Caf\u00E9.txt", resume = L"names\\R\u00E9sum\u00E9 1.csv";
  WriteBytes(cafe, right);
  WriteBytes(L"names\\Cafe.txt", wrong);
  WriteBytes(L"names\\a\u00A5b.txt", right);
  WriteBytes(L"names\\a\\b.txt", wrong);

  Finished run = RunFromCommandPrompt(L"Tamarack.exe " + cafe + L" \"" + resume + L"\" 姓");
  EXPECT_EQ(run.exitCode, 0u) << run.err;
  EXPECT_EQ(ReadBytes(resume), "姓\r\n正しい\r\n");
  EXPECT_EQ(run.out, "\"names\\R?sum? 1.csv\" に 1 人を書き出しました\r\n");
  run = RunFromCommandPrompt(L"Tamarack.exe names\\a\u00A5b.txt names\\a\u00A5b.csv 姓");
  EXPECT_EQ(run.exitCode, 0u) << run.err;
  EXPECT_EQ(ReadBytes(L"names\\a\u00A5b.csv"), "姓\r\n正しい\r\n");
  const std::string listing =
      u8"Cafe.txt|Caf\u00E9.txt|R\u00E9sum\u00E9 1.csv|a|a\u00A5b.csv|a\u00A5b.txt|";
  EXPECT_EQ(Listing(L"names"), listing);
  EXPECT_EQ(Listing(L"names\\a"), "b.txt|");

  // ～ ∥ － ￢ are written differently by other systems' Shift-JIS; 髙 ① ⅰ are extensions of
  // code page 932; 表 and ソ end in the byte of the backslash.
  const std::string japanese = "～∥－￢髙①ⅰ 表ソ";
  WriteBytes(L"names\\" + WideFrom(932, japanese) + L".txt", right);
  run = StartAsTheFrontEnd("Tamarack.exe \"names\\" + japanese + ".txt\" \"names\\" + japanese +
                           ".csv\" 姓 ")
            .Await();
  EXPECT_EQ(run.exitCode, 0u) << run.err;
  EXPECT_EQ(ReadBytes(L"names\\" + WideFrom(932, japanese) + L".csv"), "姓\r\n正しい\r\n");
  EXPECT_EQ(run.out, "\"names\\" + japanese + ".csv\" に 1 人を書き出しました\r\n");

  const std::string before = Listing(L"names");
  run = RunFromCommandPrompt(L"Tamarack.exe " + cafe + L" names\\\xD800.csv 姓");
  EXPECT_EQ(run.exitCode, static_cast<DWORD>(kExitUsage));
  EXPECT_NE(run.err.find("サロゲート"), std::string::npos) << run.err;
  EXPECT_EQ(Listing(L"names"), before);
  fs::remove_all(L"names");
}

// A stand-in for ReplaceFileW that leaves things as a replace that fails half-way would.
struct HalfWay {
  const char* what;
  bool previousToBackup;  // the previous output is moved to the backup name
  bool previousGone;      // the previous output is removed
  bool nameTaken;         // another program creates a file under the output's name
  int held;               // then a program holds, without sharing deletion: 1 the backup, 2 the
                          // new file
  DWORD error;            // and the replace fails with this error; 0: ReplaceFileW itself
  DWORD exitCode;
  std::string err;  // '%' stands for the folder's full path
  std::string csv;
  std::string listing;
};
const HalfWay* gHalfWay = nullptr;
HANDLE gHeld = INVALID_HANDLE_VALUE;

BOOL WINAPI HalfWayReplace(LPCWSTR target, LPCWSTR replacement, LPCWSTR backup, DWORD flags, LPVOID,
                           LPVOID) {
  const HalfWay& c = *gHalfWay;
  if (c.error == 0 && !ReplaceFileW(target, replacement, backup, flags, nullptr, nullptr)) {
    return FALSE;
  }
  if (c.previousToBackup) MoveFileW(target, backup);
  if (c.previousGone) DeleteFileW(target);
  if (c.nameTaken) WriteBytes(target, "taken");
  if (c.held != 0) {
    gHeld = CreateFileW(c.held == 1 ? backup : replacement, GENERIC_READ, FILE_SHARE_READ, nullptr,
                        OPEN_EXISTING, 0, nullptr);
  }
  SetLastError(c.error);
  return c.error == 0;
}

// Every state that a replace can be left in, and a share that refuses the permission changes
// ReplaceFileW may ask for: no file is lost, the CSV takes its place wherever the name is free,
// and the text says where each file is. A file held by another program is waited for, about two
// seconds, before it is named. The previous output is hidden, which the new one keeps, whether
// ReplaceFileW or a move puts it in place (Wine's ReplaceFileW keeps no attributes of its own).
TEST(WindowsTest, EveryFileOfAReplaceThatFailsIsKeptAndNamed) {
  const std::string failed =
      "出力ファイル \"halfway\\out.csv\" に書き込めません: "
      "既存のファイルと置き換えられませんでした。";
  const std::string previousLeft =
      "警告: 置き換える前の出力ファイルが \"%out.csv.bak\" という名前で残っています。"
      "不要なら削除してください\n";
  const HalfWay cases[] = {
      {"the previous output back under its name, the new one held", true, false, false, 2,
       ERROR_UNABLE_TO_MOVE_REPLACEMENT_2, 1,
       failed + "既存のファイルは変更していません\n警告: 一時ファイル \"%tmk*.tmp\" "
                "を削除できませんでした。不要なら削除してください\n",
       "old", "in.txt|out.csv|tmk*.tmp|"},
      {"the previous output held under the backup name", true, false, false, 1,
       ERROR_UNABLE_TO_MOVE_REPLACEMENT_2, 0, previousLeft, "姓\r\n新\r\n",
       "in.txt|out.csv|out.csv.bak|"},
      {"the output's name taken meanwhile", true, false, true, 0,
       ERROR_UNABLE_TO_MOVE_REPLACEMENT_2, 1,
       failed + "既存のファイルは \"%out.csv.bak\"、変換した内容は \"%tmk*.tmp\" "
                "という名前で残っています\n",
       "taken", "in.txt|out.csv|out.csv.bak|tmk*.tmp|"},
      {"the previous output gone", false, true, false, 0, ERROR_UNABLE_TO_MOVE_REPLACEMENT, 0, "",
       "姓\r\n新\r\n", "in.txt|out.csv|"},
      {"the previous output gone, the new one held", false, true, false, 2,
       ERROR_UNABLE_TO_MOVE_REPLACEMENT, 1,
       failed + "既存のファイルはなくなりました。変換した内容は \"%tmk*.tmp\" に残っています\n",
       "(none)", "in.txt|tmk*.tmp|"},
      {"a share that refuses permission changes", false, false, false, 0, ERROR_ACCESS_DENIED, 0,
       "", "姓\r\n新\r\n", "in.txt|out.csv|"},
      {"replaced, the backup held", false, false, false, 1, 0, 0, previousLeft, "姓\r\n新\r\n",
       "in.txt|out.csv|out.csv.bak|"},
  };
  replaceFile = &HalfWayReplace;
  for (const HalfWay& c : cases) {
    const std::string folder = EmptyFolder(L"halfway");
    WriteBytes(L"halfway\\in.txt", "LastName: 新\r\n");
    WriteBytes(L"halfway\\out.csv", "old");
    SetFileAttributesW(L"halfway\\out.csv", FILE_ATTRIBUTE_HIDDEN);
    gHalfWay = &c;
    std::string out, err;
    EXPECT_EQ(tamarack::Run({"halfway\\in.txt", "halfway\\out.csv", "姓"}, out, err),
              int(c.exitCode))
        << c.what;
    CloseHandle(gHeld);
    gHeld = INVALID_HANDLE_VALUE;
    const std::string shown =
        std::regex_replace(PipeText(err), std::regex("tmk[0-9A-Fa-f]+\\.tmp"), "tmk*.tmp");
    std::string expected = std::regex_replace(c.err, std::regex("\n"), "\r\n");
    for (size_t at; (at = expected.find('%')) != std::string::npos;) {
      expected.replace(at, 1, folder);
    }
    EXPECT_EQ(shown, expected) << c.what;
    EXPECT_EQ(ReadBytes(L"halfway\\out.csv"), c.csv) << c.what;
    if (c.csv.rfind("姓", 0) == 0) {
      EXPECT_TRUE(GetFileAttributesW(L"halfway\\out.csv") & FILE_ATTRIBUTE_HIDDEN) << c.what;
    }
    EXPECT_EQ(Listing(L"halfway"), c.listing) << c.what;
  }
  replaceFile = &ReplaceFileW;
  fs::remove_all(L"halfway");
}

// Polls until the converter has begun its temporary output in folder.
bool AwaitTemporaryOutput(const std::wstring& folder) {
  return PollUntil([&] { return Listing(folder).find("tmk*.tmp") != std::string::npos; }, 10000);
}

// A virus scanner or an indexer holds the previous output for a moment (reading, sharing read
// and write but not deletion) just when the converter replaces it: a second is waited out. A
// hold that outlasts the wait fails the run, with the previous output intact and nothing beside
// it. The book comes through a pipe, so that the converter replaces when the test says.
TEST(WindowsTest, AMomentaryHoldOnThePreviousOutputIsWaitedOut) {
  for (const bool momentary : {true, false}) {
    EmptyFolder(L"held");
    WriteBytes(L"held\\out.csv", "old");
    const HANDLE input = CreateNamedPipeA("\\\\.\\pipe\\tamarack-held", PIPE_ACCESS_OUTBOUND, 0, 1,
                                          65536, 0, 0, nullptr);
    Converter converter =
        StartAsTheFrontEnd("Tamarack.exe \\\\.\\pipe\\tamarack-held held\\out.csv 姓");
    ASSERT_TRUE(AwaitTemporaryOutput(L"held")) << "no temporary output";
    ConnectNamedPipe(input, nullptr);
    const HANDLE hold =
        CreateFileW(L"held\\out.csv", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, 0, nullptr);
    const std::string book = "LastName: 新\r\n";
    DWORD written = 0;
    WriteFile(input, book.data(), static_cast<DWORD>(book.size()), &written, nullptr);
    FlushFileBuffers(input);
    CloseHandle(input);
    if (momentary) {
      Sleep(1000);
      CloseHandle(hold);
    }
    const Finished run = converter.Await();
    if (!momentary) CloseHandle(hold);
    EXPECT_EQ(run.exitCode, momentary ? 0u : 1u) << run.err;
    EXPECT_EQ(ReadBytes(L"held\\out.csv"), momentary ? "姓\r\n新\r\n" : "old");
    if (!momentary) {
      EXPECT_NE(run.err.find("ほかのプログラムが使用中です。既存のファイルは変更していません"),
                std::string::npos)
          << run.err;
    }
    EXPECT_EQ(Listing(L"held"), "out.csv|");
  }
  fs::remove_all(L"held");
}

// A book through a named pipe of messages, as another program hands one over, ended the way
// that the system documents: the writer flushes, disconnects and closes its end (a writer that
// only closes it ends the books of the other tests). Its byte order mark comes alone first (a
// pipe's flush returns once the reader has taken what was written), then more than a read of
// records: the conversion starts again once the mark is whole, from its copy of what the pipe
// delivered, which the system removes with the run. An empty message part-way is not the end.
TEST(WindowsTest, ABookThroughANamedPipeConvertsRight) {
  EmptyFolder(L"piped");
  const char name[] = "\\\\.\\pipe\\tamarack-book";
  std::string records = "Form: Group\r\nLastName: NotAPerson\r\n\r\nLastName: A\r\n";
  while (records.size() <= kReadSize) records += "Comment: " + std::string(70, 'c') + "\r\n";
  const std::string pieces[] = {"\xEF\xBB\xBF", records, "", "\r\nLastName: C\r\n"};
  const HANDLE server =
      CreateNamedPipeA(name, PIPE_ACCESS_OUTBOUND, PIPE_TYPE_MESSAGE, 1, 0, 0, 0, nullptr);
  ASSERT_NE(server, INVALID_HANDLE_VALUE) << GetLastError();
  // Each write and flush fails at once when the reader has gone.
  std::thread writer([server, &pieces] {
    bool open = ConnectNamedPipe(server, nullptr) || GetLastError() == ERROR_PIPE_CONNECTED;
    for (const std::string& piece : pieces) {
      DWORD written = 0;
      open = open &&
             WriteFile(server, piece.data(), static_cast<DWORD>(piece.size()), &written, nullptr) &&
             FlushFileBuffers(server);
    }
    DisconnectNamedPipe(server);
    CloseHandle(server);
  });
  // The copy goes to the folder for temporary files, which TMP names.
  char saved[MAX_PATH] = "";
  const bool hadTmp = GetEnvironmentVariableA("TMP", saved, MAX_PATH) != 0;
  SetEnvironmentVariableA("TMP", fs::absolute("piped").string().c_str());
  std::string out, err;
  const int code = tamarack::Run({name, "piped\\out.csv", "姓"}, out, err);
  SetEnvironmentVariableA("TMP", hadTmp ? saved : nullptr);
  // A run that failed before it opened the pipe leaves the writer waiting for a reader: this
  // one comes and goes, so that the writer's next write fails.
  CloseHandle(CreateFileA(name, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  writer.join();
  EXPECT_EQ(code, kExitSuccess) << err;
  EXPECT_EQ(ReadBytes(L"piped\\out.csv"), "姓\r\nA\r\nC\r\n");
  EXPECT_NE(out.find("（人物以外のレコード 1 件を除外）"), std::string::npos) << out;
  EXPECT_EQ(err, "");
  EXPECT_EQ(Listing(L"piped"), "out.csv|");
  fs::remove_all("piped");
}

BOOL WINAPI KeepRunning(DWORD) { return TRUE; }

// Tamarack.exe reads an input that never ends, so it waits in its first read with its temporary
// output begun. Ended from outside, by Ctrl+C or as End task ends it, it leaves nothing behind.
// Wine sends Ctrl+C only to every process of a console at once: this test has a console of its
// own and a handler that keeps it running.
TEST(WindowsTest, ARunEndedFromOutsideLeavesNothingBehind) {
  FreeConsole();
  ASSERT_TRUE(AllocConsole());
  SetConsoleCtrlHandler(KeepRunning, TRUE);
  for (const bool controlC : {true, false}) {
    EmptyFolder(L"interrupted");
    const HANDLE input = CreateNamedPipeA("\\\\.\\pipe\\tamarack-endless", PIPE_ACCESS_OUTBOUND, 0,
                                          1, 0, 0, 0, nullptr);
    char commandLine[] = "Tamarack.exe \\\\.\\pipe\\tamarack-endless interrupted\\out.csv 姓";
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &process))
        << "error " << GetLastError();
    EXPECT_TRUE(AwaitTemporaryOutput(L"interrupted")) << "no temporary output";
    if (controlC) {
      GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0);
    } else {
      TerminateProcess(process.hProcess, 1);
    }
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 10000), WAIT_OBJECT_0);
    EXPECT_TRUE(PollUntil([] { return fs::is_empty("interrupted"); }, 10000))
        << (controlC ? "Ctrl+C" : "ended") << ": the temporary output stays";
    TerminateProcess(process.hProcess, 1);
    for (HANDLE handle : {process.hProcess, process.hThread, input}) CloseHandle(handle);
  }
  FreeConsole();
  fs::remove_all(L"interrupted");
}

}  // namespace
}  // namespace tamarack
