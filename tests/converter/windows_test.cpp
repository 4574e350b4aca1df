// The converter on Windows: its texts on their way to pipes and consoles, file names that code
// page 932 cannot hold or that are long, device names, replaces that meet a scanner or another
// run, books through named pipes, and runs ended from outside.
#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "common/wide_text.h"
#include "console.h"
#include "cp932.h"
#include "driver/remote_ui.h"
#include "names_win.h"
#include "replace_win.h"
#include "tests/converter/run_fixture.h"
#include "utf8.h"

namespace tamarack {

Strings ArgumentsFrom(const Strings& cp932) {
  Strings utf8(cp932.size());
  for (size_t i = 0; i < cp932.size(); ++i) Utf8FromWide(WideFrom(932, cp932[i]), utf8[i]);
  return utf8;
}

// Under Wine, which makes no links of its own, by Linux's ln, which a program there can start.
void MakeLink(const std::string& target, const std::string& link) {
  WinExec(("/bin/ln -s " + target + " " + link).c_str(), SW_HIDE);
  PollUntil([&] { return ReadBytes(link) != ""; }, 10000);
}

// Overloads of the shared helpers for names that code page 932 cannot hold.
void WriteBytes(const std::wstring& path, const std::string& bytes) {
  std::ofstream(fs::path(path), std::ios::binary) << bytes;
}
std::string ReadBytes(const std::wstring& path) {
  std::ifstream in(fs::path(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

namespace {
BOOL WINAPI EndTheRun(HANDLE, FILE_INFO_BY_HANDLE_CLASS, LPVOID, DWORD) {
  return TerminateProcess(GetCurrentProcess(), 9);
}
}  // namespace

void EndInTheCommit() { renameByHandle = &EndTheRun; }
bool EndedInTheCommit(int status) { return status == 9; }

namespace {

// The names in folder, sorted, in UTF-8, a hidden file's with " (hidden)"; a temporary file's
// number, which varies, as '*'.
std::string Listing(const std::wstring& folder) {
  std::multiset<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    const std::string name = std::regex_replace(entry.path().filename().u8string(),
                                                std::regex("^tmk[0-9A-Fa-f]+\\.tmp$"), "tmk*.tmp");
    const DWORD attributes = GetFileAttributesW(entry.path().wstring().c_str());
    const bool hidden =
        attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_HIDDEN);
    names.insert(name + (hidden ? " (hidden)" : ""));
  }
  std::string listing;
  for (const std::string& name : names) listing += name + "|";
  return listing;
}

// The folder, made empty.
void EmptyFolder(const std::wstring& folder) {
  fs::remove_all(folder);
  fs::create_directory(folder);
}

// The converter beside this test.
const std::wstring kConverter = WideFrom(932, OwnFolder()) + L"Tamarack.exe";

// What a converter started from this test wrote, and how it ended.
struct Finished {
  DWORD exitCode = 0xFFFFFFFF;
  std::string out, err;
};

// The converter started with arguments, its standard output and error in pipes: with
// DETACHED_PROCESS as the front-end starts it, with 0 as a command prompt does.
class Converter {
 public:
  Converter(const std::wstring& arguments, DWORD creationFlags) {
    SECURITY_ATTRIBUTES inherited{static_cast<DWORD>(sizeof(SECURITY_ATTRIBUTES)), nullptr, TRUE};
    StandardHandles ends;
    CreatePipe(&out_, &ends.output, &inherited, 65536);
    CreatePipe(&err_, &ends.error, &inherited, 65536);
    EXPECT_TRUE(process_.Start(kConverter, L"", creationFlags, arguments, ends))
        << "error " << GetLastError();
    CloseHandle(ends.output);
    CloseHandle(ends.error);
  }
  ~Converter() {
    CloseHandle(out_);
    CloseHandle(err_);
  }

  // Waits for the end; the texts are whole by then, as the converter writes them at its end, and
  // the pipes have no writer left.
  Finished Await() {
    Finished finished;
    if (!process_.WaitForExit(30000, finished.exitCode)) {
      ADD_FAILURE() << "no end within 30 s";
      return finished;
    }
    for (auto [pipe, text] : {std::pair{out_, &finished.out}, std::pair{err_, &finished.err}}) {
      DWORD read = 0;
      text->resize(65536);
      ReadFile(pipe, text->data(), static_cast<DWORD>(text->size()), &read, nullptr);
      text->resize(read);
    }
    return finished;
  }
  HANDLE Process() const { return process_.Handle(); }

 private:
  StartedProcess process_;
  HANDLE out_ = nullptr, err_ = nullptr;
};

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
  // Lines end in CR LF, as Windows programs that show text expect.
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
// names: Café.txt beside Cafe.txt. What the front-end passes in code page 932 arrives unchanged,
// characters whose mapping varies between systems among them. A name that UTF-16 itself cannot
// carry over is refused.
TEST(WindowsTest, TheConverterConvertsTheFileItIsGiven) {
  EmptyFolder(L"names");
  const std::string right = "LastName: 正しい\r\n", wrong = "LastName: 違う\r\n";
  const std::wstring cafe = L"names\\Caf\u00E9.txt", resume = L"names\\R\u00E9sum\u00E9 1.csv";
  WriteBytes(cafe, right);
  WriteBytes(L"names\\Cafe.txt", wrong);

  Finished run = Converter(cafe + L" \"" + resume + L"\" 姓", 0).Await();
  EXPECT_EQ(run.exitCode, 0u) << run.err;
  EXPECT_EQ(ReadBytes(resume), "姓\r\n正しい\r\n");
  EXPECT_EQ(run.out, "\"names\\R?sum? 1.csv\" に 1 人を書き出しました\r\n");

  // ～ ∥ － ￢ are written differently by other systems' Shift-JIS; 髙 ① ⅰ are extensions of
  // code page 932; 表 and ソ end in the byte of the backslash.
  const std::string japanese = "～∥－￢髙①ⅰ 表ソ";
  WriteBytes(L"names\\" + WideFrom(932, japanese) + L".txt", right);
  run = Converter(
            WideFrom(932, "\"names\\" + japanese + ".txt\" \"names\\" + japanese + ".csv\" 姓 "),
            DETACHED_PROCESS)
            .Await();
  EXPECT_EQ(run.exitCode, 0u) << run.err;
  EXPECT_EQ(ReadBytes(L"names\\" + WideFrom(932, japanese) + L".csv"), "姓\r\n正しい\r\n");
  EXPECT_EQ(run.out, "\"names\\" + japanese + ".csv\" に 1 人を書き出しました\r\n");

  const std::string before = Listing(L"names");
  run = Converter(cafe + L" names\\\xD800.csv 姓", 0).Await();
  EXPECT_EQ(run.exitCode, static_cast<DWORD>(kExitUsage));
  EXPECT_NE(run.err.find("サロゲート"), std::string::npos) << run.err;
  EXPECT_EQ(Listing(L"names"), before);
  fs::remove_all(L"names");
}

// Names that Windows gives devices, in any folder and any case, with or without an extension,
// are refused for what they are, as is an output that another program holds past the wait.
// Nothing is written.
TEST_F(RunTest, DeviceNamesAndAHeldOutputAreRefused) {
  const std::string device =
      "CON、PRN、AUX、NUL、COM1～COM9、LPT1～LPT9 は Windows が装置に使う名前のため、拡張子を"
      "付けてもファイル名には使えません";
  WriteBytes(Path(kIn), kBook);
  WriteBytes(Path(kOut), kOld);
  const HANDLE holder = CreateFileA(Path(kOut).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
  EXPECT_EQ(Convert({Path(kIn), Path(kOut), "姓"}), kExitFailed);
  EXPECT_NE(err_.find("ほかのプログラムが使用中です"), std::string::npos) << err_;
  CloseHandle(holder);
  for (const std::string& name :
       {std::string("NUL"), Path("aux.csv"), Path("Com1"), Path("lpt9 .txt"), std::string("con")}) {
    EXPECT_EQ(Convert({Path(kIn), name, "姓"}), kExitFailed) << name;
    EXPECT_EQ(err_, "出力ファイル \"" + name + "\" に書き込めません: " + device +
                        "。既存のファイルは変更していません\n");
  }
  EXPECT_EQ(Convert({"CON", Path(kOut), "姓"}), kExitFailed);
  EXPECT_EQ(err_, "入力ファイル \"CON\" を開けません: " + device + "\n");
  EXPECT_EQ(ReadBytes(Path(kOut)), kOld);
  ExpectListing({kIn, kOut});
}

// Writes bytes into the pipe and closes it, once the reader has taken them.
void Send(HANDLE pipe, const std::string& bytes) {
  DWORD written = 0;
  WriteFile(pipe, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  FlushFileBuffers(pipe);
  CloseHandle(pipe);
}

// Polls until the converter has begun its temporary output in folder.
bool AwaitTemporaryOutput(const std::wstring& folder) {
  return PollUntil([&] { return Listing(folder).find("tmk*.tmp") != std::string::npos; }, 10000);
}

// A virus scanner or an indexer holds the previous output (reading, sharing read and write) just
// when the converter replaces it. A momentary hold is waited out; one that outlasts the wait of
// about two seconds fails the run, naming the commonest holder; a run ended during the wait
// leaves nothing, for the temporary output stays one that the system removes. The previous
// output is hidden, which the new one keeps: its temporary file takes that on when the commit
// begins, which tells the test when. The book comes through a pipe, so that the converter
// commits when the test says.
TEST(WindowsTest, AHoldOnThePreviousOutputIsWaitedOut) {
  enum class Hold { kMomentary, kLasting, kEndedInTheWait };
  for (const Hold hold : {Hold::kMomentary, Hold::kLasting, Hold::kEndedInTheWait}) {
    EmptyFolder(L"held");
    WriteBytes(L"held\\out.csv", "old");
    SetFileAttributesW(L"held\\out.csv", FILE_ATTRIBUTE_HIDDEN);
    const HANDLE input = CreateNamedPipeA("\\\\.\\pipe\\tamarack-held", PIPE_ACCESS_OUTBOUND, 0, 1,
                                          65536, 0, 0, nullptr);
    Converter converter(L"\\\\.\\pipe\\tamarack-held held\\out.csv 姓", DETACHED_PROCESS);
    ASSERT_TRUE(AwaitTemporaryOutput(L"held")) << "no temporary output";
    ConnectNamedPipe(input, nullptr);
    const HANDLE holder =
        CreateFileW(L"held\\out.csv", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, 0, nullptr);
    Send(input, "LastName: 新\r\n");
    EXPECT_TRUE(PollUntil(
        [] { return Listing(L"held").find("tmk*.tmp (hidden)") != std::string::npos; }, 10000))
        << "no commit";
    if (hold == Hold::kMomentary) CloseHandle(holder);
    if (hold == Hold::kEndedInTheWait) TerminateProcess(converter.Process(), 1);
    const Finished run = converter.Await();
    if (hold != Hold::kMomentary) CloseHandle(holder);
    EXPECT_EQ(ReadBytes(L"held\\out.csv"), hold == Hold::kMomentary ? "姓\r\n新\r\n" : "old");
    if (hold != Hold::kEndedInTheWait) {
      EXPECT_EQ(run.exitCode, hold == Hold::kMomentary ? 0u : 1u) << run.err;
      EXPECT_EQ(run.err.find("使用中です（Excel") != std::string::npos, hold == Hold::kLasting)
          << run.err;
    }
    EXPECT_TRUE(PollUntil([] { return Listing(L"held") == "out.csv (hidden)|"; }, 10000))
        << Listing(L"held");
  }
  fs::remove_all(L"held");
}

// A book through a named pipe of messages, as another program hands one over, ended the way
// that the system documents: the writer flushes, disconnects and closes its end (a writer that
// only closes it ends the books of the other tests). Its byte order mark comes alone first (a
// pipe's flush returns once the reader has taken what was written), then more than a read of
// records: the conversion starts again once the mark is whole, from its copy of what the pipe
// delivered, which the system removes with the run. An empty message part-way is not the end.
TEST_F(RunTest, ABookThroughANamedPipeConvertsRight) {
  const char name[] = "\\\\.\\pipe\\tamarack-book";
  const std::string records =
      "Form: Group\r\nLastName: NotAPerson\r\n\r\nLastName: A\r\n" + MoreThanARead();
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
  SetEnvironmentVariableA("TMP", fs::absolute(folder_).string().c_str());
  const int code = Convert({name, Path("out.csv"), "姓"});
  SetEnvironmentVariableA("TMP", hadTmp ? saved : nullptr);
  // A run that failed before it opened the pipe leaves the writer waiting for a reader: this
  // one comes and goes, so that the writer's next write fails.
  CloseHandle(CreateFileA(name, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  writer.join();
  EXPECT_EQ(code, kExitSuccess) << err_;
  EXPECT_EQ(ReadBytes(Path("out.csv")), "姓\r\nA\r\nC\r\n");
  EXPECT_NE(out_.find("（人物以外のレコード 1 件を除外）"), std::string::npos) << out_;
  EXPECT_EQ(err_, "");
  ExpectListing({"out.csv"});
}

// Two runs on one output at once, as two windows or a script run twice start them, twenty times
// over: both succeed in turn, and the output is one of the two CSVs whole, with nothing beside
// it. Each book comes through an instance of one named pipe, and the test ends both at once,
// once both runs have begun their outputs.
TEST(WindowsTest, TwoRunsOnOneOutputBothSucceed) {
  const std::string books[] = {"LastName: 一\r\n", "LastName: 二\r\n"};
  const wchar_t arguments[] = L"\\\\.\\pipe\\tamarack-pair pair\\out.csv 姓";
  for (int pair = 0; pair < 20; ++pair) {
    EmptyFolder(L"pair");
    if (pair % 2 == 1) WriteBytes(L"pair\\out.csv", "old");
    HANDLE inputs[2];
    for (HANDLE& input : inputs) {
      input = CreateNamedPipeA("\\\\.\\pipe\\tamarack-pair", PIPE_ACCESS_OUTBOUND, 0, 2, 65536, 0,
                               0, nullptr);
    }
    Converter first(arguments, DETACHED_PROCESS), second(arguments, DETACHED_PROCESS);
    EXPECT_TRUE(PollUntil(
        [] { return Listing(L"pair").find("tmk*.tmp|tmk*.tmp|") != std::string::npos; }, 10000))
        << "pair " << pair << ": " << Listing(L"pair");
    std::thread sending([&] { Send(inputs[0], books[0]); });
    Send(inputs[1], books[1]);
    sending.join();
    for (Converter* run : {&first, &second}) {
      const Finished finished = run->Await();
      EXPECT_EQ(finished.exitCode, 0u) << "pair " << pair << ": " << finished.err;
      EXPECT_EQ(finished.err, "") << "pair " << pair;
    }
    const std::string csv = ReadBytes(L"pair\\out.csv");
    EXPECT_TRUE(csv == "姓\r\n一\r\n" || csv == "姓\r\n二\r\n") << "pair " << pair << ": " << csv;
    EXPECT_EQ(Listing(L"pair"), "out.csv|") << "pair " << pair;
  }
  fs::remove_all(L"pair");
}

// Paths past the classic limit of 260 characters, and past 1,023 bytes, as a user gives them on
// the command line (the input relative to the current folder, the output in full): the book
// converts, and the message names the output whole.
TEST(WindowsTest, PathsOfAnyLengthConvert) {
  SystemError error = 0;
  std::vector<std::wstring> folders = {LongPath(L"long", error)};
  for (wchar_t c = L'a'; c < L'k'; ++c) {
    folders.push_back(folders.back() + L"\\" + std::wstring(100, c));
  }
  for (const std::wstring& folder : folders) CreateDirectoryW(folder.c_str(), nullptr);
  const std::wstring input = folders[3] + L"\\in.txt", output = folders.back() + L"\\out.csv";
  WriteBytes(input, "LastName: 新\r\n");
  const std::wstring relative = L"long" + input.substr(folders[0].size()), full = output.substr(4);
  ASSERT_GT(relative.size(), 260u);
  ASSERT_GT(full.size(), 1023u);
  const Finished run = Converter(L"\"" + relative + L"\" \"" + full + L"\" 姓", 0).Await();
  EXPECT_EQ(run.exitCode, 0u) << run.err;
  EXPECT_EQ(ReadBytes(output), "姓\r\n新\r\n");
  EXPECT_EQ(run.out, "\"" + Cp932ForDisplay(full) + "\" に 1 人を書き出しました\r\n");
  DeleteFileW(input.c_str());
  DeleteFileW(output.c_str());
  for (auto folder = folders.rbegin(); folder != folders.rend(); ++folder) {
    EXPECT_TRUE(RemoveDirectoryW(folder->c_str())) << "a file left beside the output";
  }
}

BOOL WINAPI KeepRunning(DWORD) { return TRUE; }

// The threads of a process: the system delivers Ctrl+C in a thread of its own.
int ThreadCount(DWORD processId) {
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  THREADENTRY32 thread{};
  thread.dwSize = sizeof(thread);
  int count = 0;
  for (BOOL more = Thread32First(snapshot, &thread); more; more = Thread32Next(snapshot, &thread)) {
    count += thread.th32OwnerProcessID == processId ? 1 : 0;
  }
  CloseHandle(snapshot);
  return count;
}

// Tamarack.exe reads an input that never ends, so it waits in its first read with its temporary
// output begun. Ended from outside by Ctrl+C, it leaves nothing behind (End task at other
// moments: AHoldOnThePreviousOutputIsWaitedOut, WhatARunEndedInItsCommitLeftTheNextRunRemoves).
// Once the CSV has its place, Ctrl+C changes nothing: the run finishes its message and exits 0;
// its standard output is then a pipe without a buffer, so that it waits to write the message
// until the test, having seen Ctrl+C delivered, reads it. Wine sends Ctrl+C only to every
// process of a console at once: this test has a console of its own and a handler that keeps it
// running.
TEST(WindowsTest, ARunEndedFromOutsideLeavesNothingBehind) {
  FreeConsole();
  ASSERT_TRUE(AllocConsole());
  SetConsoleCtrlHandler(KeepRunning, TRUE);
  for (const bool committed : {false, true}) {
    EmptyFolder(L"interrupted");
    WriteBytes(L"interrupted\\in.txt", "LastName: 新\r\n");
    const char name[] = "\\\\.\\pipe\\tamarack-ended";
    const HANDLE pipe = CreateNamedPipeA(
        name, committed ? PIPE_ACCESS_INBOUND : PIPE_ACCESS_OUTBOUND, 0, 1, 0, 0, 0, nullptr);
    SECURITY_ATTRIBUTES inherited{static_cast<DWORD>(sizeof(SECURITY_ATTRIBUTES)), nullptr, TRUE};
    const HANDLE out =
        committed ? CreateFileA(name, GENERIC_WRITE, 0, &inherited, OPEN_EXISTING, 0, nullptr)
                  : nullptr;
    StartedProcess converter;
    ASSERT_TRUE(converter.Start(
        kConverter, L"", 0,
        (committed ? L"interrupted\\in.txt" : WideFrom(932, name)) + L" interrupted\\out.csv 姓",
        {out, out}))
        << "error " << GetLastError();
    if (out != nullptr) CloseHandle(out);
    EXPECT_TRUE(committed ? PollUntil([] { return fs::exists(L"interrupted\\out.csv"); }, 10000)
                          : AwaitTemporaryOutput(L"interrupted"))
        << "no output";
    const int threads = ThreadCount(converter.Id());
    GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0);
    EXPECT_TRUE(PollUntil(
        [&] {
          return WaitForSingleObject(converter.Handle(), 0) == WAIT_OBJECT_0 ||
                 ThreadCount(converter.Id()) > threads;
        },
        10000))
        << "Ctrl+C not delivered";
    std::string text(4096, '\0');
    DWORD read = 0, exitCode = 1;
    if (committed) ReadFile(pipe, text.data(), static_cast<DWORD>(text.size()), &read, nullptr);
    text.resize(read);
    EXPECT_TRUE(converter.WaitForExit(10000, exitCode));
    if (committed) {
      EXPECT_EQ(exitCode, 0u);
      EXPECT_EQ(text, "\"interrupted\\out.csv\" に 1 人を書き出しました\r\n");
      EXPECT_EQ(ReadBytes(L"interrupted\\out.csv"), "姓\r\n新\r\n");
    }
    const std::string left = committed ? "in.txt|out.csv|" : "in.txt|";
    EXPECT_TRUE(PollUntil([&] { return Listing(L"interrupted") == left; }, 10000))
        << Listing(L"interrupted");
    CloseHandle(pipe);
  }
  FreeConsole();
  fs::remove_all(L"interrupted");
}

// Every character of the Basic Multilingual Plane, against the system's own code page 932.
TEST(Cp932, AgreesWithTheSystemsCodePage) {
  for (char32_t c = 1; c < 0x10000; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    const wchar_t wide = static_cast<wchar_t>(c);
    char bytes[2] = {};
    BOOL usedDefault = FALSE;
    const int length = WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, &wide, 1, bytes, sizeof bytes,
                                           "?", &usedDefault);
    std::string utf8, ours;
    const std::string system = usedDefault ? "" : std::string(bytes, length);
    AppendUtf8(c, utf8);
    if (Utf8ToCp932(utf8, ours).unmappable) ours.clear();
    // The JIS forms are ours alone. U+0080 and U+F8F0-F8F3 are Windows' own extensions, which
    // give bytes that are no character.
    const bool jisForm = c == 0xA2 || c == 0xA3 || c == 0xAC || c == 0x2014 || c == 0x2016 ||
                         c == 0x2212 || c == 0x301C;
    if (jisForm || c == 0x80 || (c >= 0xF8F0 && c <= 0xF8F3)) continue;
    ASSERT_EQ(ours, system) << std::hex << "U+" << static_cast<unsigned>(c);
  }
}

}  // namespace
}  // namespace tamarack
