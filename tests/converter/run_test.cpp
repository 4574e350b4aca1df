// The converter's runs that hold on every system: what a run writes, what it refuses, and what
// a run ended in its commit leaves.
#include <gtest/gtest.h>

#include <sstream>

#include "file_names.h"
#include "tests/converter/run_fixture.h"

namespace tamarack {
namespace {

// A book whose lines fall across the converter's reads: a line longer than a read, then an
// item's name and a CR LF pair split by the second and the third read.
std::string BookAcrossReads() {
  std::string book = "Form: Person\r\nComment: " + std::string(kReadSize + 100, 'x') + "\r\n";
  // A comment line that ends `before` bytes ahead of the boundary.
  const auto fillTo = [&book](size_t boundary, size_t before) {
    book += "Comment: " + std::string(boundary - before - book.size() - 11, 'y') + "\r\n";
  };
  fillTo(2 * kReadSize, 4);
  book += "FirstName: ア表\r\n";
  fillTo(3 * kReadSize, std::string("LastName: ソ\r").size());
  return book + "LastName: ソ\r\n\f\r\n";
}

// Each run replaces an existing output; warnings of one kind are summed up in one line. Books
// in UTF-8 without a mark are recognised by any multi-byte sequence, however late it comes.
TEST_F(RunTest, ConvertsAndReplacesTheOutput) {
  std::string sameWarning, ascii, asciiCsv = "姓\r\n";
  for (int i = 0; i < 7; ++i) sameWarning += "FullName: 山田\r\n\f\r\n";
  for (int i = 0; i < 200000; ++i) ascii += "LastName: Yamada\r\n\r\n";
  for (int i = 0; i < 200000; ++i) asciiCsv += "Yamada\r\n";
  const struct {
    std::string book, fields, csv, err, summary;
  } cases[] = {
      {kBook, "部署 EMAIL 宛先名 会社名",
       "部署,EMAIL,宛先名,会社名\r\n\"表 \"\"1\"\"\",,山田 太郎,\"Acme, Inc.\"\r\n"
       ",sato@example.jp,佐藤,\r\n",
       "", "2 人を書き出しました（人物以外のレコード 1 件を除外）"},
      {sameWarning + "FullName: Taro\r\n", "/E=FullName /D=x.jp EMAIL",
       "EMAIL\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\ntaro@x.jp\r\n",
       "警告: \"" + Path(kIn) +
           "\" 1, 3, 5, 7, 9 行目ほか（計 7 件）: FullName に英字の名前がないため EMAIL "
           "を空にしました",
       "8 人を書き出しました"},
      {ascii + u8"LastName: 山田\r\n", "姓", asciiCsv + "山田\r\n", "",
       "200001 人を書き出しました"},
      {BookAcrossReads(), "名 姓", "名,姓\r\nア表,ソ\r\n", " 2, 3, 5 行目（計 3 件）: 64 KiB",
       "1 人を書き出しました"},
      {Utf16Le(u"LastName: 山田\r\nFirstName: 😀\r\n"), "姓 名", "姓,名\r\n山田,?\r\n",
       " 2 行目（計 1 件）: シフトJIS", "1 人を書き出しました"},
  };
  for (const auto& c : cases) {
    WriteBytes(Path(kIn), c.book);
    WriteBytes(Path(kOut), kOld);
    Strings args{Path(kIn), Path(kOut)};
    std::istringstream fields(c.fields);
    for (std::string field; fields >> field;) args.push_back(field);
    ASSERT_EQ(Convert(args), kExitSuccess) << err_;
    ExpectSameBytes(ReadBytes(Path(kOut)), c.csv);
    EXPECT_NE(err_.find(c.err), std::string::npos) << err_;
    EXPECT_EQ(std::count(err_.begin(), err_.end(), '\n'), c.err.empty() ? 0 : 1) << err_;
    EXPECT_EQ(out_, "\"" + Path(kOut) + "\" に " + c.summary + "\n");
    ExpectListing({kIn, kOut});
  }
}

// A UTF-8 output has its byte order mark once, at its start, or none, also when a later read of
// the book shows what the first did not and the conversion starts again from the start, after
// the rows of the first pass filled more than one write.
TEST_F(RunTest, AUtf8OutputHasItsMarkOnceAcrossARestartAndWrites) {
  // More than a read of ASCII records, each a LastName of quotes, which the CSV doubles: more
  // than two writes of rows.
  std::string book, rows;
  while (book.size() <= kReadSize) {
    book += "LastName: " + std::string(500, '"') + "\n\n";
    rows += std::string(1002, '"') + "\r\n";
  }
  const auto converted = [this](const std::string& text, const std::string& option) {
    WriteBytes(Path(kIn), text);
    EXPECT_EQ(Convert({Path(kIn), Path(kOut), option, "family"}), kExitSuccess) << err_;
    return ReadBytes(Path(kOut));
  };
  for (const std::string mark : {"\xEF\xBB\xBF", ""}) {
    const std::string option = mark.empty() ? "/O=UTF-8N" : "/O=UTF-8";
    // Read as UTF-8 at first, then as code page 932, whose 山 ends the book.
    ExpectSameBytes(converted(book + "LastName: \x8E\x52\n", option),
                    mark + u8"姓\r\n" + rows + u8"山\r\n");
    // Form feeds separate the records in the end: the records before the first are one.
    ExpectSameBytes(converted(book + "\fLastName: last\n", option),
                    mark + u8"姓\r\n" + rows.substr(0, 1004) + "last\r\n");
    // The same before the first write.
    EXPECT_EQ(converted("LastName: a\n\n" + MoreThanARead() + "\fLastName: b\n", option),
              mark + u8"姓\r\na\r\nb\r\n");
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
  WriteBytes(Path(kOut), kOld);
  WriteBytes(Path("readonly.csv"), kOld);
  fs::permissions(Path("readonly.csv"),
                  fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  fs::create_directories(Path("folder.csv"));
  fs::create_hard_link(Path("groups.txt"), Path("link.csv"));
  const std::pair<Strings, std::string> cases[] = {
      {{Path("missing.txt"), Path(kOut), "姓"}, Path("missing.txt")},
      {{Path("groups.txt"), Path(kOut), "姓"}, "1 件のレコードを読みましたが、人物"},
      {{Path("binary.txt"), Path(kOut), "姓"}, "構造化テキストの書き出しではありません"},
      {{Path(kIn), folder_ + "./" + kIn, "姓"}, "同じファイル"},
      {{Path("groups.txt"), Path("link.csv"), "姓"}, "同じファイル"},
      {{Path(kIn), Path("no-folder/out.csv"), "姓"}, Path("no-folder/out.csv")},
      {{Path(kIn), Path("folder.csv"), "姓"}, "ファイルではなくフォルダです"},
      {{Path("folder.csv"), Path(kOut), "姓"}, "を開けません: ファイルではなくフォルダです"},
      {{Path(kIn), Path("readonly.csv"), "姓"}, "読み取り専用"},
      {{Path(kIn), Path(kOut), "姓", "氏名"}, "氏名"},
  };
  for (const auto& [args, mentions] : cases) {
    const std::string context = ::testing::PrintToString(args), before = ReadBytes(args[1]);
    EXPECT_EQ(Convert(args), mentions == "氏名" ? kExitUsage : kExitFailed) << context;
    EXPECT_NE(err_.find(mentions), std::string::npos) << context << "\n" << err_;
    EXPECT_EQ(std::count(err_.begin(), err_.end(), '\n'), 1) << context << "\n" << err_;
    EXPECT_EQ(ReadBytes(args[1]), before) << context;
    EXPECT_EQ(ReadBytes(Path(kIn)), kBook) << context;
  }
  ExpectListing({"binary.txt", "folder.csv", "groups.txt", kIn, "link.csv", kOut, "readonly.csv"});
  fs::permissions(Path("readonly.csv"), fs::perms::owner_write, fs::perm_options::add);
}

// An output that is a symbolic link (on Windows as a share served from Linux shows one) becomes
// the CSV itself; the file it pointed to stays as it was.
TEST_F(RunTest, AnOutputThatIsALinkBecomesTheCsv) {
  WriteBytes(Path(kIn), kBook);
  fs::create_directory(Path("sub"));
  WriteBytes(Path("sub/real.csv"), kOld);
  MakeLink("sub/real.csv", Path("link.csv"));
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

// A run ended at the instant of its commit leaves the previous output under its name and its own
// file beside it, which the next run on that output removes. The output is named without a
// folder, as in a command prompt open on its folder: its files are in the current folder.
TEST_F(RunTest, WhatARunEndedInItsCommitLeftTheNextRunRemoves) {
  WriteBytes(Path(kIn), kBook);
  WriteBytes(Path(kOut), kOld);
  // The death test's process alone changes its current folder.
  EXPECT_EXIT((fs::current_path(folder_), EndInTheCommit(), Convert({kIn, kOut, "姓"})),
              EndedInTheCommit, "");
  EXPECT_EQ(ReadBytes(Path(kOut)), kOld);
  EXPECT_EQ(std::distance(fs::directory_iterator(folder_), {}), 3) << "no file left";
  const fs::path home = fs::current_path();
  fs::current_path(folder_);
  EXPECT_EQ(Convert({kIn, kOut, "姓"}), kExitSuccess) << err_;
  fs::current_path(home);
  EXPECT_EQ(out_, "\"" + std::string(kOut) +
                      "\" に 2 人を書き出しました（人物以外のレコード 1 件を除外）\n");
  EXPECT_EQ(ReadBytes(Path(kOut)), "姓\r\n山田\r\n佐藤\r\n");
  ExpectListing({kIn, kOut});
}

}  // namespace
}  // namespace tamarack
