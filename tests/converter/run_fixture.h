// Runs of the converter in a folder of each test's own: for the cases that hold on every system
// (run_test.cpp) and those of one system (run_posix_test.cpp, windows_test.cpp), which also
// define the helpers declared last here.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "run.h"

namespace tamarack {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

inline const std::string kOld = "old contents\r\n";
// 表 and ソ end in 0x5C, the backslash: no part of a path may take it for a separator.
const char kIn[] = "入力表.txt";
const char kOut[] = "出力ソ.csv";
const char kBook[] =
    "Form: Person\r\nFullName: CN=山田 太郎/O=Acme, Taro Yamada\r\nLastName: 山田\r\n"
    "CompanyName: Acme, Inc.\r\nDepartment: 表 \"1\"\r\n\f\r\n"
    "Form: Group\r\nListName: all\r\n\f\r\n"
    "LastName: 佐藤\r\nInternetAddress: sato@example.jp\r\n";

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return fs::is_directory(path) ? "" : std::string(std::istreambuf_iterator<char>(in), {});
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// The text in UTF-16 LE with a byte order mark.
inline std::string Utf16Le(std::u16string_view text) {
  std::string bytes = "\xFF\xFE";
  for (const char16_t unit : text)
    bytes += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
  return bytes;
}

// Comment lines of ASCII, more than one read of them.
inline std::string MoreThanARead() {
  std::string lines;
  while (lines.size() <= kReadSize) lines += "Comment: " + std::string(70, 'c') + "\r\n";
  return lines;
}

// Outputs of megabytes are told apart by where they first differ: printed whole, with a diff,
// they would take the test's memory.
inline void ExpectSameBytes(const std::string& got, const std::string& want) {
  const size_t at = static_cast<size_t>(
      std::mismatch(got.begin(), got.end(), want.begin(), want.end()).first - got.begin());
  EXPECT_EQ(got.size(), want.size());
  EXPECT_EQ(got.substr(at, 40), want.substr(std::min(at, want.size()), 40))
      << "first difference at byte " << at;
}

// The arguments as the converter takes them from its command line, from the code page 932 in
// which the tests name their files: UTF-8 on Windows, the bytes themselves elsewhere.
Strings ArgumentsFrom(const Strings& cp932);

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
  int Convert(const Strings& args) {
    out_.clear();
    err_.clear();
    return tamarack::Run(ArgumentsFrom(args), out_, err_);
  }
  // Through the narrow file API: std::filesystem's narrow names are UTF-8 on Windows.
  void ExpectListing(const Strings& names) const {
    std::string listed;  // as UTF-8, for the failure message
    for (const auto& entry : fs::directory_iterator(folder_))
      listed += entry.path().filename().u8string() + "|";
    EXPECT_EQ(std::count(listed.begin(), listed.end(), '|'), std::ptrdiff_t(names.size()))
        << listed;
    for (const auto& name : names)
      EXPECT_TRUE(std::ifstream(Path(name)) || fs::is_directory(Path(name))) << name;
  }

  std::string folder_, out_, err_;
};

// Makes link a symbolic link to target, a path relative to link's folder.
void MakeLink(const std::string& target, const std::string& link);

// Makes the run end its process at the instant of the commit between giving up the temporary
// output's removal with the process and renaming it: as End task would on Windows, elsewhere by
// a kill that cannot be caught. EndedInTheCommit tells that end by the process's status.
void EndInTheCommit();
bool EndedInTheCommit(int status);

}  // namespace tamarack
