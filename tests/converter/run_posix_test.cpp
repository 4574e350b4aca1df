// The converter's runs on POSIX systems: signals, FIFOs, a full disk, a run held in its commit,
// permissions, and the temporary file where the file system has no files without names.
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "replace_posix.h"
#include "tests/converter/run_fixture.h"

namespace tamarack {

Strings ArgumentsFrom(const Strings& cp932) { return cp932; }

void MakeLink(const std::string& target, const std::string& link) {
  fs::create_symlink(target, link);
}

namespace {
int EndTheRun(const char*, const char*) { return raise(SIGKILL); }
}  // namespace

void EndInTheCommit() { renameFile = &EndTheRun; }
bool EndedInTheCommit(int status) { return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL; }

namespace {

// A file system without files that have no name, as O_TMPFILE's open meets one.
int NoUnnamedFiles(const std::string&, int, mode_t) {
  errno = EOPNOTSUPP;
  return -1;
}

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
// FIFO that the test holds open, so the run waits in its first read with its output begun. Where
// the file system has no files without names, the temporary file has its name from the start,
// which the signal's handler removes (a kill that cannot be caught leaves it, for the next run
// to remove). The output's folder removed meanwhile is named as such.
TEST_F(RunTest, ARunEndedFromOutsideLeavesNothingBehind) {
  ASSERT_EQ(mkfifo(Path("book").c_str(), 0600), 0);
  const int writer = open(Path("book").c_str(), O_RDWR);
  WriteBytes(Path(kOut), kOld);
  fs::create_directory(Path("gone"));
  for (const bool named : {true, false}) {
    for (const int ending : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGKILL, 0}) {
      if (named && (ending == SIGKILL || ending == 0)) continue;
      const pid_t child = InChild([&] {
        const rlimit noCore{0, 0};
        setrlimit(RLIMIT_CORE, &noCore);
        if (named) openUnnamed = &NoUnnamedFiles;
        if (ending != 0) return Convert({Path("book"), Path(kOut), "姓"});
        close(writer);
        Convert({Path("book"), Path("gone/out.csv"), "姓"});
        return err_ == "出力ファイル \"" + Path("gone/out.csv") +
                           "\" に書き込めません: 出力先のフォルダがなくなりました（変換中に削除"
                           "されたか、名前が変わりました）。既存のファイルは変更していません\n"
                   ? 0
                   : 1;
      });
      const std::string context = (named ? "named, " : "") + std::to_string(ending);
      EXPECT_TRUE(PollUntil([&] { return HasBegunIn(child, folder_); })) << context;
      if (ending != 0) {
        kill(child, ending);
      } else {
        fs::remove(Path("gone"));
        ASSERT_EQ(write(writer, kBook, sizeof kBook - 1), ssize_t(sizeof kBook - 1));
        close(writer);
        fs::remove(Path("book"));
      }
      EXPECT_EQ(Ending(child), ending != 0 ? "signal " + std::to_string(ending) : "exit 0");
      EXPECT_EQ(ReadBytes(Path(kOut)), kOld) << context;
      ExpectListing(ending != 0 ? Strings{"book", "gone", kOut} : Strings{kOut});
    }
  }
}

// The output keeps the previous file's permission bits, whatever the umask, and a new output
// gets those that the umask leaves, as any new file does: with the temporary file made without a
// name, and with a named one where the file system has no files without names.
TEST_F(RunTest, TheOutputKeepsThePreviousPermissionsOrTakesTheUmasks) {
  WriteBytes(Path(kIn), kBook);
  const mode_t umasked = umask(027);
  const OpenFunction unnamed = openUnnamed;
  for (const OpenFunction open : {unnamed, OpenFunction{&NoUnnamedFiles}}) {
    openUnnamed = open;
    for (const mode_t previous : {mode_t{0660}, mode_t{0}}) {
      fs::remove(Path(kOut));
      if (previous != 0) WriteBytes(Path(kOut), kOld);
      if (previous != 0) chmod(Path(kOut).c_str(), previous);
      EXPECT_EQ(Convert({Path(kIn), Path(kOut), "姓"}), kExitSuccess) << err_;
      struct stat status {};
      stat(Path(kOut).c_str(), &status);
      EXPECT_EQ(status.st_mode & 07777, previous != 0 ? previous : mode_t{0640})
          << (open == unnamed ? "unnamed" : "named") << std::oct << ": got "
          << (status.st_mode & 07777) << ", previous " << previous;
      ExpectListing({kIn, kOut});
    }
  }
  openUnnamed = unnamed;
  umask(umasked);
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
  const Strings cases[] = {
      {"\xEF\xBB\xBF", u8"Form: Group\n\nLastName: 山田\n"},
      {"\xFF", Utf16Le(u"LastName: 山田\r\n").substr(1)},
      {"LastName: A\r\n\r\nLastName: B\r\n", MoreThanARead() + "\f\r\nLastName: C\r\n"},
      {u8"LastName: 山\r\n\r\n", MoreThanARead() + "LastName: \xE5"},
      // Decided by the second piece: nothing after it is copied.
      {"LastName: A\r\n\r\n", "LastName: 表\r\n\f\r\n" + MoreThanARead() + "LastName: B\r\n"},
  };
  const std::string book = Path("book"), csv = Path("out.csv");
  const char* const saved = std::getenv("TMPDIR");
  const std::string savedTmpdir = saved != nullptr ? saved : "";
  setenv("TMPDIR", folder_.c_str(), 1);
  for (const Strings& pieces : cases) {
    std::string whole;
    for (const std::string& piece : pieces) whole += piece;
    const std::string context = ::testing::PrintToString(whole.substr(0, 24));
    WriteBytes(book, whole);
    EXPECT_EQ(Convert({book, csv, "姓"}), kExitSuccess) << context << err_;
    const std::string fromFile = ReadBytes(csv), out = out_, err = err_;
    fs::remove(book);
    fs::remove(csv);

    ASSERT_EQ(mkfifo(book.c_str(), 0600), 0);
    const int fd = open(book.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    std::thread writer(Deliver, fd, pieces);
    EXPECT_EQ(Convert({book, csv, "姓"}), kExitSuccess) << context << err_;
    writer.join();
    ExpectSameBytes(ReadBytes(csv), fromFile);
    EXPECT_EQ(out_, out) << context;
    EXPECT_EQ(err_, err) << context;
    fs::remove(book);
    ExpectListing({"out.csv"});
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
  saved != nullptr ? setenv("TMPDIR", savedTmpdir.c_str(), 1) : unsetenv("TMPDIR");
}

}  // namespace
}  // namespace tamarack
