#include "reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tamarack {
namespace {

// A record as the sink saw it, its values copied: the reader's own end with the call.
struct ReadRecord {
  std::array<std::string, kKeptItemCount> values;
  std::array<bool, kKeptItemCount> present;
  long line;
};

struct ReadResult {
  std::vector<ReadRecord> records;
  WarningLog warnings;
};

// Feeds data in chunks of the given size (all at once by default).
ReadResult Read(std::string_view data, Separation separation = Separation::kFormFeed,
                size_t chunk = std::string_view::npos, Encoding encoding = Encoding::kCp932) {
  ReadResult result;
  RecordReader reader(encoding, separation, result.warnings, [&](const Record& record) {
    ReadRecord& copy = result.records.emplace_back();
    for (size_t i = 0; i < kKeptItemCount; ++i) copy.values[i] = record.values[i];
    copy.present = record.present;
    copy.line = record.line;
  });
  for (size_t i = 0; i < data.size(); i += chunk) reader.Feed(data.substr(i, chunk));
  reader.Finish();
  return result;
}

std::vector<std::string> LastNames(const ReadResult& result) {
  std::vector<std::string> values;
  for (const ReadRecord& record : result.records) values.push_back(record.values[kLastName]);
  return values;
}

using Strings = std::vector<std::string>;

TEST(RecordReader, Separation) {
  // Form feeds opening the file, alone on a line, sharing a line, doubled, missing at the end.
  const ReadResult fed =
      Read("\fLastName: A\r\n\f\r\nLastName: B\fLastName: C\r\n\f\f\r\n\fLastName: D");
  EXPECT_EQ(LastNames(fed), (Strings{"A", "B", "C", "D"}));
  EXPECT_EQ(fed.records[2].line, 3);
  // Blank lines separate records only in a file without form feeds.
  const std::string text = "LastName: A\n\n \t\nFirstName: B\nFree text\n\n";
  EXPECT_EQ(LastNames(Read(text, Separation::kBlankLine)), (Strings{"A", ""}));
  EXPECT_EQ(LastNames(Read(text, Separation::kFormFeed)), (Strings{"A"}));
}

TEST(RecordReader, ItemValues) {
  const struct {
    const char* text;
    KeptItem item;
    const char* value;
  } cases[] = {
      {"lastname:\t\t山田\n", kLastName, "山田"},                     // any case, tabs
      {"Department:部: 課:係\n", kDepartment, "部: 課:係"},           // split at the first colon
      {"FirstName:  　太郎　 \nFirstName: x\n", kFirstName, "太郎"},  // trimmed; first one kept
      {"CompanyName: ａ@\n", kCompanyName, "ａ@"},  // 0x82 0x81 is no full-width space
      {"CompanyName: 株式会社\n ポート\n\tフォリオ Ltd\n  Japan\n", kCompanyName,
       "株式会社ポートフォリオ Ltd Japan"},
      {"FullName: 表\n  x\n", kFullName, "表x"},
      {"LastName: A\nComment: c\n  more\nfree text\n  no continuation\n", kLastName, "A"},
      {"Last Name: free text\nLastName: B\n  continued\n", kLastName, "B continued"},
      {"LastName: A\nLastName: B\n  continues nothing\n", kLastName, "A"},
      // 表 ends in 0x5C, ァ in 0x40, before a blank.
      {"FirstName: 表 \r\n", kFirstName, "表"},
      {"CompanyName:\x81\x40ァ\x81\x40\r\n", kCompanyName, "ァ"},
      {"InternetAddress:\r\n", kInternetAddress, ""},  // present, without a value
  };
  for (const auto& c : cases) {
    const ReadResult result = Read(c.text);
    ASSERT_EQ(result.records.size(), 1u) << c.text;
    EXPECT_EQ(result.records[0].values[c.item], c.value) << c.text;
    EXPECT_TRUE(result.records[0].present[c.item]) << c.text;
    EXPECT_EQ(result.warnings.Count(Warning::kInvalidByte), 0) << c.text;
  }
}

// The same records and warnings, line by line.
void ExpectSameReading(const ReadResult& got, const ReadResult& want, const std::string& context) {
  ASSERT_EQ(got.records.size(), want.records.size()) << context;
  for (size_t i = 0; i < want.records.size(); ++i) {
    EXPECT_EQ(got.records[i].values, want.records[i].values) << context << " record " << i;
    EXPECT_EQ(got.records[i].present, want.records[i].present) << context << " record " << i;
    EXPECT_EQ(got.records[i].line, want.records[i].line) << context << " record " << i;
  }
  for (const Warning kind : {Warning::kLongLine, Warning::kInvalidByte, Warning::kUnmappable}) {
    EXPECT_EQ(got.warnings.Lines(kind), want.warnings.Lines(kind)) << context;
    EXPECT_EQ(got.warnings.Count(kind), want.warnings.Count(kind)) << context;
  }
}

// Most values are taken where they lie in the data fed, looking only at the bytes that the scan
// of each 64-byte block marked as not ASCII; a line that a read splits is gathered and taken
// the general way. Fed byte by byte, every line goes the general way: both must agree, with
// the lines shifted across the blocks' and the sixteen-byte loads' boundaries. Keys and CR LF
// pairs are split by reads of 5 and 13 bytes.
TEST(RecordReader, ValuesTakenWhereTheyLieAgreeWithLinesGatheredAcrossReads) {
  const std::string cp932Lines[] = {
      "Form: Person",
      "FullName: CN=山田 太郎/O=Acme, Taro Yamada",
      "LastName:\tアソポ",  // trail bytes that are ASCII: 'A', '\' and '|'
      "FirstName: ｱｲｳ 表",  // half-width katakana, single bytes above 0x7F
      "CompanyName: 株式会社ポートフォリオ・ソリューションズ・ジャパン　ＡＢＣ",
      "  continued 表",
      "Department:　営業部　",                    // full-width spaces around the value
      "InternetAddress: \x95 a@x.jp",             // a lead byte before a blank
      std::string("MailAddress: 表\0x\x81", 18),  // NUL; a lead byte before the line end
      "Comment: \x82\x20x",
      "Department: twice",
      "OfficePhoneNumber:",
  };
  const std::string utf8Lines[] = {
      "Form: Person",
      u8"FullName: CN=山田 太郎/O=Acme, Taro Yamada",
      u8"LastName:\tアソポ𠮷",  // a four-byte character that code page 932 lacks
      u8"FirstName: ｱｲｳ 表",
      u8"CompanyName: 株式会社ポートフォリオ・ソリューションズ・ジャパン　ＡＢＣ",
      u8"  continued 表",
      u8"Department:　営業部　",
      "InternetAddress: \xC3 a@x.jp",
      std::string("MailAddress: \xE8\xA1\xA8\0x\xE8\xA1", 20),  // ends in a cut sequence
      u8"Comment: \xED\xA0\x80 x",                              // a surrogate
      u8"Department: twice",
      "OfficePhoneNumber: \xE0\xA0\x80",  // U+0800, of a lead byte that needs its range checked
  };
  const char* const ends[] = {"\r\n", "\n", "\r"};
  for (const Encoding encoding : {Encoding::kCp932, Encoding::kUtf8}) {
    const auto& lines = encoding == Encoding::kCp932 ? cp932Lines : utf8Lines;
    for (size_t shift = 0; shift < 80; ++shift) {
      std::string text = "Comment: " + std::string(shift, 'x') + "\r\n";
      for (size_t i = 0; i < std::size(cp932Lines); ++i) text += lines[i] + ends[i % 3];
      text += "\f\r\n" + text;
      const std::string context = "shift " + std::to_string(shift) +
                                  (encoding == Encoding::kUtf8 ? " UTF-8" : " code page 932");
      const ReadResult whole = Read(text, Separation::kFormFeed, std::string_view::npos, encoding);
      ExpectSameReading(whole, Read(text, Separation::kFormFeed, 1, encoding), context);
      for (size_t chunk : {5u, 13u}) {
        ExpectSameReading(whole, Read(text, Separation::kFormFeed, chunk, encoding), context);
      }
      if (shift > 0) continue;
      ASSERT_EQ(whole.records.size(), 2u) << context;
      const ReadRecord& record = whole.records[0];
      EXPECT_EQ(record.values[kLastName], encoding == Encoding::kCp932 ? "アソポ" : "アソポ?");
      EXPECT_EQ(record.values[kFirstName], "ｱｲｳ 表");
      EXPECT_EQ(record.values[kDepartment], "営業部");
      EXPECT_EQ(record.values[kCompanyName],
                "株式会社ポートフォリオ・ソリューションズ・ジャパン　ＡＢＣcontinued 表");
      EXPECT_EQ(record.values[kInternetAddress], "? a@x.jp");
      EXPECT_EQ(record.values[kMailAddress], "表?x?");
      EXPECT_EQ(whole.records[1].line, 15);
      EXPECT_EQ(whole.warnings.Lines(Warning::kInvalidByte), (std::vector<long>{9, 10, 23, 24}));
      EXPECT_EQ(whole.warnings.Count(Warning::kUnmappable), encoding == Encoding::kUtf8 ? 2 : 0);
    }
  }
}

TEST(RecordReader, LongLinesAndValuesAreCutOnWholeCharacters) {
  std::string text = "LastName: x";
  for (size_t i = 0; i < kMaxLine; ++i) text += "表";
  text += "\nFirstName: a\n";
  for (int i = 0; i < 5000; ++i) text += "  continuation line\n";
  for (size_t chunk : {std::string_view::npos, size_t{1000}}) {
    const ReadResult result = Read(text, Separation::kFormFeed, chunk);
    const std::string& last = result.records.at(0).values[kLastName];
    const std::string& first = result.records.at(0).values[kFirstName];
    EXPECT_LE(last.size(), kMaxValue);
    EXPECT_EQ(last.size() % 2, 1u);  // "x" and whole double-byte characters
    EXPECT_EQ(last.substr(last.size() - 2), "表");
    EXPECT_TRUE(first.size() <= kMaxValue && first.size() > kMaxValue - 20) << first.size();
    EXPECT_EQ(result.warnings.Lines(Warning::kLongLine)[0], 1);
    EXPECT_EQ(result.warnings.Count(Warning::kInvalidByte), 0);
  }
}

}  // namespace
}  // namespace tamarack
