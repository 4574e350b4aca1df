#include "run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "file_names.h"

#ifdef _WIN32
#include <windows.h>

#include "common/wide_text.h"
#include "replace_win.h"
#else
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "replace_posix.h"
#endif

namespace tamarack {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

const std::string kOld = "old contents\r\n";
// 表 and ソ end in 0x5C, the backslash: no part of a path may take it for a separator.
const char kIn[] = "入力表.txt";
const char kOut[] = "出力ソ.csv";
const char kBook[] =
    "Form: Person\r\nFullName: CN=山田 太郎/O=Acme, Taro Yamada\r\nLastName: 山田\r\n"
    "CompanyName: Acme, Inc.\r\nDepartment: 表 \"1\"\r\n\f\r\n"
    "Form: Group\r\nListName: all\r\n\f\r\n"
    "LastName: 佐藤\r\nInternetAddress: sato@example.jp\r\n";

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return fs::is_directory(path) ? "" : std::string(std::istreambuf_iterator<char>(in), {});
}

// The text in UTF-16 LE with a byte order mark.
std::string Utf16Le(std::u16string_view text) {
  std::string bytes = "\xFF\xFE";
  for (const char16_t unit : text)
    bytes += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
  return bytes;
}

// Outputs of megabytes are told apart by where they first differ: printed whole, with a diff,
// they would take the test's memory.
void ExpectSameBytes(const std::string& got, const std::string& want) {
  const size_t at = static_cast<size_t>(
      std::mismatch(got.begin(), got.end(), want.begin(), want.end()).first - got.begin());
  EXPECT_EQ(got.size(), want.size());
  EXPECT_EQ(got.substr(at, 40), want.substr(std::min(at, want.size()), 40))
      << "first difference at byte " << at;
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// A book whose lines fall across the converter's reads: a line longer than a read, then an
// item's name and a CR LF pair split by the second and the third read. given and family are
// Japanese names in the book's encoding.
std::string BookAcrossReads(const std::string& given, const std::string& family) {
  std::string book = "Form: Person\r\nComment: " + std::string(kReadSize + 100, 'x') + "\r\n";
  // A comment line that ends `before` bytes ahead of the boundary.
  const auto fillTo = [&book](size_t boundary, size_t before) {
    book += "Comment: " + std::string(boundary - before - book.size() - 11, 'y') + "\r\n";
  };
  fillTo(2 * kReadSize, 4);
  book += "FirstName: " + given + "\r\n";
  fillTo(3 * kReadSize, 1 + 10 + family.size());
  return book + "LastName: " + family + "\r\n\f\r\n";
}

// Comment lines of ASCII, more than one read of them.
std::string MoreThanARead() {
  std::string lines;
  while (lines.size() <= kReadSize) lines += "Comment: " + std::string(70, 'c') + "\r\n";
  return lines;
}

// Each test works in a folder of its own, which in the end must hold exactly the names given:
// no temporary file is left behind.
class RunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::string("run_scratch/") +
              ::testing::UnitTest::GetInstance()->current_test_info()->name() + "/";
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  std::string Path(const std::string& name) const { return folder_ + name; }
  // The arguments are given in code page 932, as this test's files are named; on Windows the
  // converter takes them in UTF-8, as its command line reaches it.
  int Convert(const Strings& args) {
    out_.clear();
    err_.clear();
#ifdef _WIN32
    Strings utf8(args.size());
    for (size_t i = 0; i < args.size(); ++i) Utf8FromWide(WideFrom(932, args[i]), utf8[i]);
    return tamarack::Run(utf8, out_, err_);
#else
    return tamarack::Run(args, out_, err_);
#endif
  }
  // Through the narrow file API: std::filesystem's narrow names are UTF-8 on Windows.
  void ExpectListing(const Strings& names) const {
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_), {}), std::ptrdiff_t(names.size()));
    for (const auto& name : names)
      EXPECT_TRUE(std::ifstream(Path(name)) || fs::is_directory(Path(name))) << name;
  }

  std::string folder_, out_, err_;
};

// Each run replaces an existing output; warnings of one kind are summed up in one line. Books
// in UTF-8 without a mark are recognised by any multi-byte sequence, however late it comes; a
// book that turns out to be code page 932 only after more than a write's worth of CSV was
// written starts again from the start.
TEST_F(RunTest, ConvertsAndReplacesTheOutput) {
  std::string sameWarning, ascii, asciiCsv = "姓\r\n";
  for (int i = 0; i < 7; ++i) sameWarning += "FullName: 山田\r\n\f\r\n";
  for (int i = 0; i < 200000; ++i) ascii += "LastName: Yamada\r\n\r\n";
  for (int i = 0; i < 200000; ++i) asciiCsv += "Yamada\r\n";
  const struct {
    std::string book;
    Strings fields;
    std::string csv, err, summary;
  } cases[] = {
      {kBook,
       {"部署", "EMAIL", "宛先名", "会社名"},
       "部署,EMAIL,宛先名,会社名\r\n\"表 \"\"1\"\"\",,山田 太郎,\"Acme, Inc.\"\r\n"
       ",sato@example.jp,佐藤,\r\n",
       "",
       "2 人を書き出しました（人物以外のレコード 1 件を除外）"},
      {kBook,
       {"/O=UTF-8", "会社名", "部署"},
       u8"\uFEFF会社名,部署\r\n\"Acme, Inc.\",\"表 \"\"1\"\"\"\r\n,\r\n",
       "",
       "2 人を書き出しました（人物以外のレコード 1 件を除外）"},
      {kBook,
       {"/o=utf-8n", "姓"},
       u8"姓\r\n山田\r\n佐藤\r\n",
       "",
       "2 人を書き出しました（人物以外のレコード 1 件を除外）"},
      {sameWarning + "FullName: Taro\r\n",
       {"/E=FullName", "/D=x.jp", "EMAIL"},
       "EMAIL\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\ntaro@x.jp\r\n",
       "警告: \"" + Path(kIn) +
           "\" 1, 3, 5, 7, 9 行目ほか（計 7 件）: FullName に英字の名前がないため EMAIL "
           "を空にしました",
       "8 人を書き出しました"},
      {u8"\uFEFFLastName: 山田\nFirstName: Zoë\n",
       {"姓", "名"},
       "姓,名\r\n山田,Zo?\r\n",
       " 2 行目（計 1 件）",
       "1 人を書き出しました"},
      {ascii + u8"LastName: 山田\r\n",
       {"姓"},
       asciiCsv + "山田\r\n",
       "",
       "200001 人を書き出しました"},
      {ascii + "LastName: 山田\r\n",
       {"姓"},
       asciiCsv + "山田\r\n",
       "",
       "200001 人を書き出しました"},
      {BookAcrossReads("ア表", "ソ"),
       {"名", "姓"},
       "名,姓\r\nア表,ソ\r\n",
       " 2, 3, 5 行目（計 3 件）: 64 KiB",
       "1 人を書き出しました"},
      {BookAcrossReads(u8"ア表", u8"ソ"),
       {"名", "姓"},
       "名,姓\r\nア表,ソ\r\n",
       " 2, 3, 5 行目（計 3 件）: 64 KiB",
       "1 人を書き出しました"},
      // What a later read shows holds for the whole book: a form feed separates its records,
      // a UTF-8 sequence that the file's end cuts makes it code page 932 (山 as 蝸 and ｱ).
      {"LastName: A\r\n\r\nLastName: B\r\n" + MoreThanARead() + "\f\r\nLastName: C\r\n",
       {"姓"},
       "姓\r\nA\r\nC\r\n",
       "",
       "2 人を書き出しました"},
      {u8"LastName: 山\r\n\f\r\n" + MoreThanARead() + "\f\r\nLastName: \xE5",
       {"姓"},
       "姓\r\n\xE5\xB1\xB1\r\n?\r\n",
       "NUL バイトまたは不正な文字を ? に置き換えました",
       "2 人を書き出しました（人物以外のレコード 1 件を除外）"},
      {Utf16Le(u"LastName: 山田\r\nFirstName: 😀\r\n"),
       {"姓", "名"},
       "姓,名\r\n山田,?\r\n",
       " 2 行目（計 1 件）: シフトJIS",
       "1 人を書き出しました"},
  };
  for (const auto& c : cases) {
    WriteBytes(Path(kIn), c.book);
    WriteBytes(Path(kOut), kOld);
    Strings args{Path(kIn), Path(kOut)};
    args.insert(args.end(), c.fields.begin(), c.fields.end());
    ASSERT_EQ(Convert(args), kExitSuccess) << err_;
    ExpectSameBytes(ReadBytes(Path(kOut)), c.csv);
    EXPECT_NE(err_.find(c.err), std::string::npos) << err_;
    EXPECT_EQ(std::count(err_.begin(), err_.end(), '\n'), c.err.empty() ? 0 : 1) << err_;
    EXPECT_EQ(out_, "\"" + Path(kOut) + "\" に " + c.summary + "\n");
    ExpectListing({kIn, kOut});
  }
}

// The help fits a command prompt's default 80 columns: in code page 932 a character takes as
// many columns as bytes.
TEST_F(RunTest, TheUsageFitsACommandPrompt) {
  ASSERT_EQ(Convert({"/?"}), kExitSuccess);
  std::istringstream lines(out_);
  for (std::string line; std::getline(lines, line);) EXPECT_LT(line.size(), 80u) << line;
}

TEST_F(RunTest, FailuresLeaveTheExistingOutputIntact) {
  WriteBytes(Path(kIn), kBook);
  WriteBytes(Path("groups.txt"), "Form: Group\r\nListName: all\r\n");
  WriteBytes(Path("binary.txt"), std::string("PK\3\4\0\0LastName: A\r\n", 19));
  WriteBytes(Path("utf32.txt"), std::string("\xFF\xFE\0\0L\0\0\0", 8));
  WriteBytes(Path(kOut), kOld);
  WriteBytes(Path("readonly.csv"), kOld);
  fs::permissions(Path("readonly.csv"),
                  fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  fs::create_directories(Path("folder.csv"));
  std::vector<std::pair<Strings, std::string>> cases = {
      {{Path("missing.txt"), Path(kOut), "姓"}, Path("missing.txt")},
      {{Path("groups.txt"), Path(kOut), "姓"}, "1 件のレコードを読みましたが、人物"},
      {{Path("binary.txt"), Path(kOut), "姓"}, "構造化テキストの書き出しではありません"},
      {{Path("utf32.txt"), Path(kOut), "姓"}, "構造化テキストの書き出しではありません"},
      {{Path(kIn), Path(kIn), "姓"}, "同じファイル"},
      {{Path(kIn), folder_ + "./" + kIn, "姓"}, "同じファイル"},
      {{Path(kIn), Path("no-folder/out.csv"), "姓"}, Path("no-folder/out.csv")},
      {{Path(kIn), Path("folder.csv"), "姓"}, "ファイルではなくフォルダです"},
      {{Path("folder.csv"), Path(kOut), "姓"}, "を開けません: ファイルではなくフォルダです"},
      {{Path(kIn), Path("readonly.csv"), "姓"}, "読み取り専用"},
      {{Path(kIn), Path(kOut), "姓", "氏名"}, "氏名"},
      {{Path(kIn), Path(kOut), "/E=FullName", "姓"}, "/D"},
  };
#ifdef _WIN32
  WriteBytes(Path("locked.csv"), kOld);
  const HANDLE lock = CreateFileA(Path("locked.csv").c_str(), GENERIC_READ, FILE_SHARE_READ,
                                  nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  cases.push_back({{Path(kIn), Path("locked.csv"), "姓"}, "使用中"});
#else
  ASSERT_EQ(link(Path(kIn).c_str(), Path("link.csv").c_str()), 0);
  cases.push_back({{Path(kIn), Path("link.csv"), "姓"}, "同じファイル"});
#endif
  for (const auto& [args, mentions] : cases) {
    const std::string context = ::testing::PrintToString(args), before = ReadBytes(args[1]);
    const int expected = mentions == "氏名" || mentions == "/D" ? kExitUsage : kExitFailed;
    EXPECT_EQ(Convert(args), expected) << context;
    EXPECT_NE(err_.find(mentions), std::string::npos) << context << "\n" << err_;
    EXPECT_EQ(std::count(err_.begin(), err_.end(), '\n'), 1) << context << "\n" << err_;
    EXPECT_EQ(ReadBytes(args[1]), before) << context;
    EXPECT_EQ(ReadBytes(Path(kIn)), kBook) << context;
  }
#ifdef _WIN32
  CloseHandle(lock);
  // Names that Windows gives devices, in any folder and any case, with or without an extension:
  // refused for what they are, and nothing is written.
  for (const std::string& device :
       {std::string("NUL"), Path("aux.csv"), Path("Com1"), Path("lpt9 .txt"), std::string("con")}) {
    EXPECT_EQ(Convert({Path(kIn), device, "姓"}), kExitFailed) << device;
    EXPECT_NE(err_.find("に書き込めません: CON、PRN、AUX、NUL、COM1～COM9"), std::string::npos)
        << err_;
  }
  EXPECT_EQ(Convert({"CON", Path(kOut), "姓"}), kExitFailed);
  EXPECT_NE(err_.find("入力ファイル \"CON\" を開けません: CON、PRN"), std::string::npos) << err_;
  ExpectListing({"binary.txt", "folder.csv", "groups.txt", kIn, "locked.csv", kOut, "readonly.csv",
                 "utf32.txt"});
#else
  ExpectListing({"binary.txt", "folder.csv", "groups.txt", kIn, "link.csv", kOut, "readonly.csv",
                 "utf32.txt"});
#endif
  fs::permissions(Path("readonly.csv"), fs::perms::owner_write, fs::perm_options::add);
}

// An output that is a symbolic link (on Windows as a share served from Linux shows one) becomes
// the CSV itself; the file it pointed to stays as it was. Under Wine, which makes no links of its
// own, the link is made by Linux's ln, which a program there can start.
TEST_F(RunTest, AnOutputThatIsALinkBecomesTheCsv) {
  WriteBytes(Path(kIn), kBook);
  fs::create_directory(Path("sub"));
  WriteBytes(Path("sub/real.csv"), kOld);
#ifdef _WIN32
  WinExec(("/bin/ln -s sub/real.csv " + Path("link.csv")).c_str(), SW_HIDE);
  for (int i = 0; i < 1000 && ReadBytes(Path("link.csv")) != kOld; ++i) Sleep(10);
#else
  fs::create_symlink("sub/real.csv", Path("link.csv"));
#endif
  ASSERT_EQ(ReadBytes(Path("link.csv")), kOld) << "no link";
  ASSERT_EQ(Convert({Path(kIn), Path("link.csv"), "姓"}), kExitSuccess) << err_;
  EXPECT_EQ(ReadBytes(Path("link.csv")), "姓\r\n山田\r\n佐藤\r\n");
  EXPECT_EQ(ReadBytes(Path("sub/real.csv")), kOld);
  ExpectListing({kIn, "link.csv", "sub"});
}

TEST(FileNames, DeviceNamesInAnyFolderAnyCaseWithOrWithoutAnExtension) {
  for (const char* device : {"NUL", "con", "Prn", "aux.csv", "C:\\out\\COM1", "out/lpt9.txt",
                             "com5.tar.gz", "nul .csv", "NUL:", "C:nul", "d\\CON.", "LPT3 "}) {
    EXPECT_TRUE(NamesDosDevice(device)) << device;
  }
  for (const char* file : {"NULL", "com0", "COM10", "lpt", "console.csv", "x.nul", "aux\\out.csv",
                           " con", "\\\\.\\pipe\\con", "\\\\?\\C:\\out\\nul", ""}) {
    EXPECT_FALSE(NamesDosDevice(file)) << file;
  }
}

// Ends the process at the instant of the commit between giving up the temporary output's
// removal with the process and renaming it: as End task would on Windows, elsewhere by a kill
// that cannot be caught.
#ifdef _WIN32
BOOL WINAPI EndTheRun(HANDLE, FILE_INFO_BY_HANDLE_CLASS, LPVOID, DWORD) {
  return TerminateProcess(GetCurrentProcess(), 9);
}
void EndInTheCommit() { renameByHandle = &EndTheRun; }
bool EndedInTheCommit(int status) { return status == 9; }
#else
int EndTheRun(const char*, const char*) { return raise(SIGKILL); }
void EndInTheCommit() { renameFile = &EndTheRun; }
bool EndedInTheCommit(int status) { return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL; }
#endif

// A run ended at that instant leaves the previous output under its name and its own file beside
// it, which the next run on that output removes.
TEST_F(RunTest, WhatARunEndedInItsCommitLeftTheNextRunRemoves) {
  WriteBytes(Path(kIn), kBook);
  WriteBytes(Path(kOut), kOld);
  EXPECT_EXIT((EndInTheCommit(), Convert({Path(kIn), Path(kOut), "姓"})), EndedInTheCommit, "");
  EXPECT_EQ(ReadBytes(Path(kOut)), kOld);
  EXPECT_EQ(std::distance(fs::directory_iterator(folder_), {}), 3) << "no file left";
  EXPECT_EQ(Convert({Path(kIn), Path(kOut), "姓"}), kExitSuccess) << err_;
  ExpectListing({kIn, kOut});
}

#ifndef _WIN32

// Runs body in a child process, which ends with what body returns.
template <typename Body>
pid_t InChild(Body body) {
  const pid_t child = fork();
  if (child == 0) _exit(body());
  return child;
}

// How the child ended, once it has: "exit 0", "signal 9".
std::string Ending(pid_t child) {
  int status = 0;
  if (waitpid(child, &status, 0) != child) return "no child";
  return WIFEXITED(status) ? "exit " + std::to_string(WEXITSTATUS(status))
                           : "signal " + std::to_string(WTERMSIG(status));
}

// Polls every 10 ms, for up to 10 s, until condition holds; returns whether it held.
template <typename Condition>
bool PollUntil(Condition condition) {
  for (int i = 0; i < 1000 && !condition(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return condition();
}

// Whether process pid has begun its output in folder: it holds a file there open, other than
// the books that the tests give through FIFOs named "book…".
bool HasBegunIn(pid_t pid, const std::string& folder) {
  const std::string prefix = fs::canonical(folder).string() + "/";
  std::error_code ignored;
  for (const auto& fd : fs::directory_iterator("/proc/" + std::to_string(pid) + "/fd", ignored)) {
    const std::string target = fs::read_symlink(fd.path(), ignored).string();
    if (target.rfind(prefix, 0) == 0 && target.rfind(prefix + "book", 0) != 0) return true;
  }
  return false;
}

// All that fd delivers until its end; then fd is closed.
std::string ReadAll(int fd) {
  std::string text;
  char bytes[65536];
  for (ssize_t n; (n = read(fd, bytes, sizeof bytes)) > 0;) text.append(bytes, n);
  close(fd);
  return text;
}

// A write that fails half-way (here: the file size limit, as a full disk would) keeps the old
// file and leaves no temporary file.
TEST_F(RunTest, FailedWriteLeavesTheExistingOutputIntact) {
  std::string book;
  for (int i = 0; i < 20000; ++i) book += "LastName: 山田 太郎 " + std::to_string(i) + "\r\n\f\r\n";
  WriteBytes(Path(kIn), book);
  WriteBytes(Path(kOut), kOld);
  const pid_t child = InChild([&] {
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{64 * 1024, 64 * 1024};
    setrlimit(RLIMIT_FSIZE, &limit);
    const bool failed = Convert({Path(kIn), Path(kOut), "姓"}) == kExitFailed;
    return failed && err_.find("大きすぎ") != std::string::npos ? 0 : 1;
  });
  EXPECT_EQ(Ending(child), "exit 0");
  EXPECT_EQ(ReadBytes(Path(kOut)), kOld);
  ExpectListing({kIn, kOut});
}

// Ended from outside in the middle of a run, by a signal that ends programs or by a kill that
// cannot be caught, the converter leaves nothing beside the output. The book comes through a
// FIFO that the test holds open, so the run waits in its first read with its output begun. The
// output's folder removed meanwhile is named as such.
TEST_F(RunTest, ARunEndedFromOutsideLeavesNothingBehind) {
  ASSERT_EQ(mkfifo(Path("book").c_str(), 0600), 0);
  const int writer = open(Path("book").c_str(), O_RDWR);
  WriteBytes(Path(kOut), kOld);
  fs::create_directory(Path("gone"));
  for (const int ending : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGKILL, 0}) {
    const pid_t child = InChild([&] {
      const rlimit noCore{0, 0};
      setrlimit(RLIMIT_CORE, &noCore);
      if (ending != 0) return Convert({Path("book"), Path(kOut), "姓"});
      close(writer);
      Convert({Path("book"), Path("gone/out.csv"), "姓"});
      return err_ == "出力ファイル \"" + Path("gone/out.csv") +
                         "\" に書き込めません: 出力先のフォルダがなくなりました（変換中に削除"
                         "されたか、名前が変わりました）。既存のファイルは変更していません\n"
                 ? 0
                 : 1;
    });
    EXPECT_TRUE(PollUntil([&] { return HasBegunIn(child, folder_); })) << "no output in 10 s";
    if (ending != 0) {
      kill(child, ending);
    } else {
      fs::remove(Path("gone"));
      ASSERT_EQ(write(writer, kBook, sizeof kBook - 1), ssize_t(sizeof kBook - 1));
      close(writer);
      fs::remove(Path("book"));
    }
    EXPECT_EQ(Ending(child), ending != 0 ? "signal " + std::to_string(ending) : "exit 0");
    EXPECT_EQ(ReadBytes(Path(kOut)), kOld);
    ExpectListing(ending != 0 ? Strings{"book", "gone", kOut} : Strings{kOut});
  }
}

// The commit's rename in a child that the test holds there: it says so with a byte, and goes on
// when the test answers with one.
int gToTest = -1, gFromTest = -1;
int HeldRename(const char* from, const char* to) {
  char answer = 0;
  if (write(gToTest, "c", 1) != 1 || read(gFromTest, &answer, 1) != 1) return -1;
  return rename(from, to);
}

// While a run is in its commit, its output named for the rename, another run on the same output
// begins and ends: it leaves the first one's file alone, and both succeed in turn.
TEST_F(RunTest, AnotherRunLeavesTheFileOfARunInItsCommitAlone) {
  WriteBytes(Path(kIn), kBook);
  WriteBytes(Path("second.txt"), "LastName: 二\r\n");
  int toTest[2], fromTest[2];
  ASSERT_EQ(pipe(toTest) | pipe(fromTest), 0);
  const pid_t child = InChild([&] {
    gToTest = toTest[1];
    gFromTest = fromTest[0];
    renameFile = &HeldRename;
    return Convert({Path(kIn), Path(kOut), "姓"});
  });
  close(toTest[1]);
  char reached = 0;
  ASSERT_EQ(read(toTest[0], &reached, 1), 1) << "the child ended before its commit";
  EXPECT_EQ(Convert({Path("second.txt"), Path(kOut), "姓"}), kExitSuccess) << err_;
  ASSERT_EQ(write(fromTest[1], "r", 1), 1);
  EXPECT_EQ(Ending(child), "exit 0");
  for (const int fd : {toTest[0], fromTest[0], fromTest[1]}) close(fd);
  EXPECT_EQ(ReadBytes(Path(kOut)), "姓\r\n山田\r\n佐藤\r\n");
  ExpectListing({kIn, kOut, "second.txt"});
}

// Once the CSV has its place, a signal that ends programs changes nothing: the run finishes its
// message and exits 0. Standard output is a pipe that the test has filled, so that the run waits
// to write its message until the test, having sent the signal, reads it. A pipe whose reader has
// gone is an error of the write, not the end of the run, which warns of it.
TEST_F(RunTest, AfterTheCommitASignalOrAClosedPipeChangesNothing) {
  WriteBytes(Path(kIn), kBook);
  const std::string summary =
      "\"" + Path(kOut) + "\" に 2 人を書き出しました（人物以外のレコード 1 件を除外）\n";
  for (const int ending : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE}) {
    WriteBytes(Path(kOut), kOld);
    int out[2], errors[2];
    ASSERT_EQ(pipe(out) | pipe(errors), 0);
    fcntl(out[1], F_SETFL, O_NONBLOCK);
    const std::string filler(1 << 20, '.');
    const size_t filled = static_cast<size_t>(write(out[1], filler.data(), filler.size()));
    fcntl(out[1], F_SETFL, 0);
    const pid_t child = InChild([&] {
      close(out[0]);
      dup2(out[1], STDOUT_FILENO);
      dup2(errors[1], STDERR_FILENO);
      const int code = Convert({Path(kIn), Path(kOut), "姓"});
      WriteTexts(out_, err_);
      return code;
    });
    close(out[1]);
    close(errors[1]);
    EXPECT_TRUE(PollUntil([&] { return ReadBytes(Path(kOut)) == "姓\r\n山田\r\n佐藤\r\n"; }));
    // The pipe's reader goes, or a signal comes.
    if (ending == SIGPIPE) {
      close(out[0]);
    } else {
      kill(child, ending);
      const std::string written = ReadAll(out[0]);
      EXPECT_EQ(written.substr(std::min(filled, written.size())), summary) << ending;
    }
    EXPECT_EQ(ReadAll(errors[0]), ending == SIGPIPE ? "警告: 標準出力に書き込めませんでした: "
                                                      "読み取る側がパイプを閉じました\n"
                                                    : "")
        << ending;
    EXPECT_EQ(Ending(child), "exit 0") << ending;
    ExpectListing({kIn, kOut});
  }
}

// Writes each piece into the FIFO that fd holds open for reading and writing, the next only once
// the reader has taken the one before, then closes it: the reader's next read finds the end.
// Every wait is bounded (10 s), so that a reader that stopped early leaves no writer hanging.
void Deliver(int fd, const Strings& pieces) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  // Waits a millisecond at most for the events on fd; false once the deadline has passed.
  const auto wait = [fd, &deadline](short events) {
    pollfd wanted{fd, events, 0};
    return poll(&wanted, 1, 1) >= 0 && std::chrono::steady_clock::now() < deadline;
  };
  for (const std::string& piece : pieces) {
    size_t done = 0;
    while (done < piece.size()) {
      const ssize_t n = write(fd, piece.data() + done, piece.size() - done);
      if (n > 0) {
        done += static_cast<size_t>(n);
      } else if (errno != EAGAIN || !wait(POLLOUT)) {
        break;
      }
    }
    int unread = 0;
    while (done == piece.size() && ioctl(fd, FIONREAD, &unread) == 0 && unread > 0 && wait(0)) {
    }
    if (done < piece.size() || unread > 0) break;
  }
  close(fd);
}

// A book through a FIFO in pieces, each read before the next is written, as a pipe hands a book
// over: a byte order mark alone first, or half of one; a form feed, or bytes that are no UTF-8,
// in a later piece. Each converts as the same book from a file, starting again from the copy of
// what came before where a later piece shows what the book is, and leaves nothing in $TMPDIR.
// Without a folder for the copy, the run is refused.
TEST_F(RunTest, ABookThroughAFifoConvertsAsFromAFile) {
  const struct {
    Strings pieces, fields;
    int exitCode;
  } cases[] = {
      {{"\xEF\xBB\xBF", "Form: Group\nLastName: NotAPerson\n"}, {"/O=UTF-8N", "姓"}, kExitFailed},
      {{"\xEF\xBB\xBF", u8"Form: Group\n\nLastName: 山田\n"}, {"姓"}, kExitSuccess},
      {{"\xFF", Utf16Le(u"LastName: 山田\r\n").substr(1)}, {"姓"}, kExitSuccess},
      {{"LastName: A\r\n\r\nLastName: B\r\n", MoreThanARead() + "\f\r\nLastName: C\r\n"},
       {"姓"},
       kExitSuccess},
      {{u8"LastName: 山\r\n\r\n", MoreThanARead() + "LastName: \xE5"}, {"姓"}, kExitSuccess},
      // Decided by the second piece: nothing after it is copied.
      {{"LastName: A\r\n\r\n", "LastName: 表\r\n\f\r\n" + MoreThanARead() + "LastName: B\r\n"},
       {"姓"},
       kExitSuccess},
  };
  const std::string book = Path("book"), csv = Path("out.csv");
  const char* const saved = std::getenv("TMPDIR");
  const std::string savedTmpdir = saved != nullptr ? saved : "";
  setenv("TMPDIR", folder_.c_str(), 1);
  for (const auto& c : cases) {
    std::string whole;
    for (const std::string& piece : c.pieces) whole += piece;
    const std::string context = ::testing::PrintToString(whole.substr(0, 24));
    Strings args{book, csv};
    args.insert(args.end(), c.fields.begin(), c.fields.end());
    WriteBytes(book, whole);
    EXPECT_EQ(Convert(args), c.exitCode) << context << err_;
    const std::string fromFile = ReadBytes(csv), out = out_, err = err_;
    fs::remove(book);
    fs::remove(csv);

    ASSERT_EQ(mkfifo(book.c_str(), 0600), 0);
    const int fd = open(book.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    std::thread writer(Deliver, fd, c.pieces);
    EXPECT_EQ(Convert(args), c.exitCode) << context << err_;
    writer.join();
    ExpectSameBytes(ReadBytes(csv), fromFile);
    EXPECT_EQ(out_, out) << context;
    EXPECT_EQ(err_, err) << context;
    fs::remove(book);
    ExpectListing(c.exitCode == kExitSuccess ? Strings{"out.csv"} : Strings{});
    fs::remove(csv);
  }
  // Where no copy can be made, the run is refused before anything is written. The test holds a
  // writer's end, so that the converter's open does not wait for one.
  setenv("TMPDIR", Path("missing").c_str(), 1);
  ASSERT_EQ(mkfifo(book.c_str(), 0600), 0);
  const int fd = open(book.c_str(), O_RDWR | O_CLOEXEC);
  EXPECT_EQ(Convert({book, csv, "姓"}), kExitFailed);
  close(fd);
  EXPECT_EQ(err_, "入力ファイル \"" + book + "\" の内容を一時ファイルのフォルダ \"" +
                      Path("missing") +
                      "\" に保存できません: ファイルまたはフォルダが見つかりません。"
                      "出力ファイルは作成も変更もしていません\n");
  fs::remove(book);
  ExpectListing({});
  if (saved != nullptr) {
    setenv("TMPDIR", savedTmpdir.c_str(), 1);
  } else {
    unsetenv("TMPDIR");
  }
}

#endif

}  // namespace
}  // namespace tamarack
