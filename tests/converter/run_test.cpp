#include "run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#endif

namespace tamarack {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

const std::string kOld = "old contents\r\n";

std::string ReadBytes(const std::string& path) {
  std::string bytes;
  if (FILE* file = std::fopen(path.c_str(), "rb")) {
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, n);
    std::fclose(file);
  }
  return bytes;
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  FILE* file = std::fopen(path.c_str(), "wb");
  ASSERT_NE(file, nullptr) << path;
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
}

// Each test works in a folder of its own under the test's working directory.
class RunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::string("run_scratch/") +
              ::testing::UnitTest::GetInstance()->current_test_info()->name() + "/";
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  std::string Path(const std::string& name) const { return folder_ + name; }
  int Convert(const Strings& args) {
    out_.clear();
    err_.clear();
    return tamarack::Run(args, out_, err_);
  }
  // The folder holds exactly these names: no temporary file was left behind.
  Strings Listing() const {
    Strings names;
    for (const auto& entry : fs::directory_iterator(folder_)) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  std::string folder_;
  std::string out_;
  std::string err_;
};

const char kBook[] =
    "Form: Person\r\nFullName: CN=山田 太郎/O=Acme, Taro Yamada\r\nLastName: 山田\r\n"
    "CompanyName: Acme, Inc.\r\nDepartment: 表 \"1\"\r\n\f\r\n"
    "Form: Group\r\nListName: all\r\n\f\r\n"
    "LastName: 佐藤\r\nInternetAddress: sato@example.jp\r\n";

TEST_F(RunTest, ConvertsAndSummarises) {
  WriteBytes(Path("in.txt"), kBook);
  ASSERT_EQ(Convert({Path("in.txt"), Path("out.csv"), "部署", "EMAIL", "宛先名", "会社名"}),
            kExitSuccess)
      << err_;
  EXPECT_EQ(ReadBytes(Path("out.csv")),
            "部署,EMAIL,宛先名,会社名\r\n"
            "\"表 \"\"1\"\"\",,山田 太郎,\"Acme, Inc.\"\r\n"
            ",sato@example.jp,佐藤,\r\n");
  EXPECT_EQ(err_, "");
  EXPECT_NE(out_.find("2 人"), std::string::npos) << out_;
  EXPECT_NE(out_.find("1 件を除外"), std::string::npos) << out_;
  EXPECT_EQ(Listing(), (Strings{"in.txt", "out.csv"}));
}

TEST_F(RunTest, RepeatedWarningsAreSummedInOneLine) {
  std::string book;
  for (int i = 0; i < 7; ++i) book += "FullName: 山田\r\n\f\r\n";
  book += "FullName: Taro\r\n";
  WriteBytes(Path("in.txt"), book);
  ASSERT_EQ(Convert({Path("in.txt"), Path("out.csv"), "/E=FullName", "/D=x.jp", "EMAIL"}),
            kExitSuccess);
  EXPECT_EQ(ReadBytes(Path("out.csv")), "EMAIL\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\ntaro@x.jp\r\n");
  EXPECT_EQ(err_, "警告: \"" + Path("in.txt") +
                      "\" 1, 3, 5, 7, 9 行目ほか（計 7 件）: FullName に英字の名前がないため "
                      "EMAIL を空にしました\n");
}

TEST_F(RunTest, Utf8InputWithByteOrderMark) {
  WriteBytes(Path("in.txt"), u8"\uFEFFLastName: 山田\nFirstName: Zoë\n");
  ASSERT_EQ(Convert({Path("in.txt"), Path("out.csv"), "姓", "名"}), kExitSuccess);
  EXPECT_EQ(ReadBytes(Path("out.csv")), "姓,名\r\n山田,Zo?\r\n");
  EXPECT_NE(err_.find(" 2 行目（計 1 件）"), std::string::npos) << err_;
}

TEST_F(RunTest, FailuresLeaveTheExistingOutputIntact) {
  WriteBytes(Path("in.txt"), kBook);
  WriteBytes(Path("groups.txt"), "Form: Group\r\nListName: all\r\n");
  WriteBytes(Path("out.csv"), kOld);
  fs::create_directories(Path("folder.csv"));
  struct Case {
    Strings args;
    int code;
    std::string mentions;
  };
  const std::vector<Case> cases = {
      {{Path("missing.txt"), Path("out.csv"), "姓"}, kExitFailed, Path("missing.txt")},
      {{Path("groups.txt"), Path("out.csv"), "姓"}, kExitFailed, "人物のレコードがありません"},
      {{Path("in.txt"), Path("in.txt"), "姓"}, kExitFailed, "同じファイル"},
      {{Path("in.txt"), folder_ + "./in.txt", "姓"}, kExitFailed, "同じファイル"},
      {{Path("in.txt"), Path("no-folder/out.csv"), "姓"}, kExitFailed, Path("no-folder/out.csv")},
      {{Path("in.txt"), Path("folder.csv"), "姓"}, kExitFailed, "フォルダ"},
      {{Path("in.txt"), Path("out.csv"), "姓", "氏名"}, kExitUsage, "氏名"},
      {{Path("in.txt"), Path("out.csv"), "/E=FullName", "姓"}, kExitUsage, "/D"},
  };
  for (const Case& c : cases) {
    const std::string context = ::testing::PrintToString(c.args);
    EXPECT_EQ(Convert(c.args), c.code) << context;
    EXPECT_NE(err_.find(c.mentions), std::string::npos) << context << "\n" << err_;
    EXPECT_EQ(std::count(err_.begin(), err_.end(), '\n'), 1) << context << "\n" << err_;
    EXPECT_EQ(ReadBytes(Path("out.csv")), kOld) << context;
    EXPECT_EQ(ReadBytes(Path("in.txt")), kBook) << context;
  }
  EXPECT_EQ(Listing(), (Strings{"folder.csv", "groups.txt", "in.txt", "out.csv"}));
}

TEST_F(RunTest, ReadOnlyOutputIsNotReplaced) {
  WriteBytes(Path("in.txt"), kBook);
  WriteBytes(Path("out.csv"), kOld);
  fs::permissions(Path("out.csv"),
                  fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  EXPECT_EQ(Convert({Path("in.txt"), Path("out.csv"), "姓"}), kExitFailed);
  EXPECT_NE(err_.find("読み取り専用"), std::string::npos) << err_;
  EXPECT_EQ(ReadBytes(Path("out.csv")), kOld);
  fs::permissions(Path("out.csv"), fs::perms::owner_write, fs::perm_options::add);
  EXPECT_EQ(Listing(), (Strings{"in.txt", "out.csv"}));
}

TEST_F(RunTest, ReplacesAnExistingOutput) {
  WriteBytes(Path("in.txt"), kBook);
  WriteBytes(Path("out.csv"), kOld);
  ASSERT_EQ(Convert({Path("in.txt"), Path("out.csv"), "姓"}), kExitSuccess) << err_;
  EXPECT_EQ(ReadBytes(Path("out.csv")), "姓\r\n山田\r\n佐藤\r\n");
  EXPECT_EQ(Listing(), (Strings{"in.txt", "out.csv"}));
}

#ifdef _WIN32

TEST_F(RunTest, LockedOutputIsNotReplaced) {
  WriteBytes(Path("in.txt"), kBook);
  WriteBytes(Path("out.csv"), kOld);
  const HANDLE lock = CreateFileA(Path("out.csv").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  EXPECT_EQ(Convert({Path("in.txt"), Path("out.csv"), "姓"}), kExitFailed);
  EXPECT_NE(err_.find("使用中"), std::string::npos) << err_;
  CloseHandle(lock);
  EXPECT_EQ(ReadBytes(Path("out.csv")), kOld);
  EXPECT_EQ(Listing(), (Strings{"in.txt", "out.csv"}));
}

TEST_F(RunTest, JapaneseAndBackslashPaths) {
  WriteBytes(Path("入力表.txt"), kBook);
  const std::string output = fs::absolute(folder_).string() + "\\出力ソ.csv";
  ASSERT_EQ(Convert({Path("入力表.txt"), output, "姓"}), kExitSuccess) << err_;
  EXPECT_EQ(ReadBytes(Path("出力ソ.csv")), "姓\r\n山田\r\n佐藤\r\n");
}

// The program started as the front-end starts it: quoted paths with backslashes, two blanks
// for the empty options, and a blank after the last field.
TEST_F(RunTest, FrontEndCommandLine) {
  WriteBytes(Path("in.txt"), kBook);
  std::string folder = folder_;
  std::replace(folder.begin(), folder.end(), '/', '\\');
  std::string commandLine =
      "Tamarack.exe \"" + folder + "in.txt\" \"" + folder + "out.csv\"  EMAIL 姓 ";
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  ASSERT_TRUE(CreateProcessA(TAMARACK_PROGRAM, &commandLine[0], nullptr, nullptr, FALSE,
                             DETACHED_PROCESS, nullptr, nullptr, &startup, &process));
  ASSERT_EQ(WaitForSingleObject(process.hProcess, 30000), WAIT_OBJECT_0);
  DWORD code = 99;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  EXPECT_EQ(code, 0u);
  EXPECT_EQ(ReadBytes(Path("out.csv")), "EMAIL,姓\r\n,山田\r\nsato@example.jp,佐藤\r\n");
}

#else

TEST_F(RunTest, SameFileUnderAnotherNameIsRefused) {
  WriteBytes(Path("in.txt"), kBook);
  ASSERT_EQ(link(Path("in.txt").c_str(), Path("link.csv").c_str()), 0);
  EXPECT_EQ(Convert({Path("in.txt"), Path("link.csv"), "姓"}), kExitFailed);
  EXPECT_EQ(ReadBytes(Path("link.csv")), kBook);
}

// A write that fails half-way (here: the file size limit, as a full disk would) keeps the old
// file and leaves no temporary file.
TEST_F(RunTest, FailedWriteLeavesTheExistingOutputIntact) {
  std::string book;
  for (int i = 0; i < 20000; ++i) book += "LastName: 山田 太郎 " + std::to_string(i) + "\r\n\f\r\n";
  WriteBytes(Path("in.txt"), book);
  WriteBytes(Path("out.csv"), kOld);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{64 * 1024, 64 * 1024};
    setrlimit(RLIMIT_FSIZE, &limit);
    _exit(Convert({Path("in.txt"), Path("out.csv"), "姓"}) == kExitFailed &&
                  err_.find("大きすぎ") != std::string::npos
              ? 0
              : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(ReadBytes(Path("out.csv")), kOld);
  EXPECT_EQ(Listing(), (Strings{"in.txt", "out.csv"}));
}

#endif

}  // namespace
}  // namespace tamarack
