#include "arguments.h"
#include "common/split_command_line.h"

#include <gtest/gtest.h>

namespace tamarack {
namespace {

using Strings = std::vector<std::string>;

TEST(CommandLine, SplitsTheFrontEndsCommandLine) {
  using WideStrings = std::vector<std::wstring>;
  EXPECT_EQ(
      SplitCommandLine(L"Tamarack.exe \"C:\\in\\Caf\u00E9.txt\" \"C:\\out dir\\\"  姓 EMAIL "),
      (WideStrings{L"Tamarack.exe", L"C:\\in\\Caf\u00E9.txt", L"C:\\out dir\\", L"姓", L"EMAIL"}));
  EXPECT_EQ(SplitCommandLine(L"a \"/E=FullName\" \"/D=abc\"\t表 \"\" x\"y z\""),
            (WideStrings{L"a", L"/E=FullName", L"/D=abc", L"表", L"", L"xy z"}));
  EXPECT_EQ(SplitCommandLine(L"  "), WideStrings{});
}

TEST(CommandLine, ParsesPathsOptionsAndFields) {
  Arguments parsed;
  ASSERT_EQ(ParseArguments({"in.txt", "out.csv", "/e=fullname", "/D=@Example.CO.jp", "EMAIL", "姓",
                            u8"会社名", "/o=utf-8n", "given"},
                           parsed),
            "");
  EXPECT_EQ(parsed.outputEncoding, OutputEncoding::kUtf8);
  EXPECT_EQ(parsed.input + "|" + parsed.output + "|" + parsed.mapping.domain,
            "in.txt|out.csv|example.co.jp");
  EXPECT_TRUE(parsed.mapping.emailFromFullName);
  EXPECT_EQ(parsed.fields,
            (std::vector<Field>{Field::kEmail, Field::kFamily, Field::kCompany, Field::kGiven}));
  ASSERT_EQ(ParseArguments({"in", "out", "/?"}, parsed), "");
  EXPECT_TRUE(parsed.help);
}

// What the user reads of each mistake, the argument that is wrong named as given.
TEST(CommandLine, UsageErrorsSayWhatIsWrong) {
  const std::string domain = "が正しくありません（英数字、ピリオド、ハイフンのみ）";
  const std::pair<Strings, std::string> cases[] = {
      {{}, "入力ファイルが指定されていません"},
      {{"", "out.csv", "姓"}, "入力ファイルが指定されていません"},
      {{"in.txt"}, "出力ファイルが指定されていません"},
      {{"in.txt", "out.csv"}, "出力項目が指定されていません"},
      {{"in.txt", "out.csv", "姓", "Family"}, "項目名 \"Family\" が二度指定されています"},
      {{"in.txt", "out.csv", "Name"}, "不明な項目名 \"Name\" です"},
      {{"in.txt", "out.csv", "/E=FullName", "姓"},
       "/E=FullName にはドメイン（/D=ドメイン）が必要です"},
      {{"in.txt", "out.csv", "/E=FullName", "/D= ", "姓"}, "ドメイン \" \" " + domain},
      {{"in.txt", "out.csv", "/D=@exa_mple.jp", "姓"}, "ドメイン \"exa_mple.jp\" " + domain},
      {{"in.txt", "out.csv", "/E=LastName", "/D=x.jp", "姓"},
       "オプション /E=LastName は使えません（/E=FullName のみ）"},
      {{"in.txt", "out.csv", "/E=FullName", "/e=fullname"}, "オプション /E が二度指定されています"},
      {{"in.txt", "out.csv", "/D=x.jp", "/D=y.jp", "姓"}, "オプション /D が二度指定されています"},
      {{"in.txt", "out.csv", "/X", "姓"}, "不明なオプション /X です"},
      {{"in.txt", "out.csv", "/O=EUC", "姓"},
       "オプション /O=EUC は使えません（/O=SJIS、/O=UTF-8、/O=UTF-8N のいずれか）"},
      {{"in.txt", "out.csv", "/O=SJIS", "/O=UTF-8", "姓"}, "オプション /O が二度指定されています"},
  };
  for (const auto& [args, message] : cases) {
    Arguments parsed;
    EXPECT_EQ(ParseArguments(args, parsed), message) << ::testing::PrintToString(args);
  }
}

TEST(CommandLine, PlausibleDomains) {
  for (const char* good : {"abc", "example.co.jp", "x-1.example.com", "A.B"}) {
    EXPECT_TRUE(IsPlausibleDomain(good)) << good;
  }
  for (const char* bad :
       {"", ".jp", "a..jp", "a.", "-a.jp", "a-.jp", "a b.jp", "例え.jp", "a@b.jp"}) {
    EXPECT_FALSE(IsPlausibleDomain(bad)) << bad;
  }
}

}  // namespace
}  // namespace tamarack
