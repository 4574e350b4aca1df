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

TEST(CommandLine, UsageErrorsAndDomains) {
  for (const Strings& args : std::vector<Strings>{
           {},
           {"in.txt"},
           {"in.txt", "out.csv"},
           {"in.txt", "out.csv", "姓", "Family"},
           {"in.txt", "out.csv", "氏名"},
           {"in.txt", "out.csv", "/E=FullName", "姓"},
           {"in.txt", "out.csv", "/E=FullName", "/D= ", "姓"},
           {"in.txt", "out.csv", "/E=FullName", "/D=exa_mple.jp", "姓"},
           {"in.txt", "out.csv", "/E=LastName", "/D=x.jp", "姓"},
           {"in.txt", "out.csv", "/D=x.jp", "/D=y.jp", "姓"},
           {"in.txt", "out.csv", "/X", "姓"},
           {"in.txt", "out.csv", "/O=EUC", "姓"},
           {"in.txt", "out.csv", "/O=SJIS", "/O=UTF-8", "姓"},
       }) {
    Arguments parsed;
    EXPECT_NE(ParseArguments(args, parsed), "") << ::testing::PrintToString(args);
  }
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
