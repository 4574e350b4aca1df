#include "reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tamarack {
namespace {

struct ReadResult {
  std::vector<Record> records;
  WarningLog warnings;
};

// Feeds data in chunks of the given size (all at once by default).
ReadResult Read(std::string_view data, Separation separation = Separation::kFormFeed,
                size_t chunk = std::string_view::npos, Encoding encoding = Encoding::kCp932) {
  ReadResult result;
  RecordReader reader(encoding, separation, result.warnings,
                      [&](const Record& record) { result.records.push_back(record); });
  for (size_t i = 0; i < data.size(); i += chunk) reader.Feed(data.substr(i, chunk));
  reader.Finish();
  return result;
}

std::vector<std::string> Values(const ReadResult& result, Item item) {
  std::vector<std::string> values;
  for (const Record& record : result.records) values.push_back(record.values[item]);
  return values;
}

using Strings = std::vector<std::string>;

TEST(RecordReader, FormFeedsSeparateRecordsWhereverTheyStand) {
  // Opening the file, alone on a line, sharing a line, doubled, missing at the end.
  const ReadResult result =
      Read("\fLastName: A\r\n\f\r\nLastName: B\fLastName: C\r\n\f\f\r\n\fLastName: D");
  EXPECT_EQ(Values(result, kLastName), (Strings{"A", "B", "C", "D"}));
  EXPECT_EQ(result.records[2].line, 3);
}

TEST(RecordReader, BlankLinesSeparateRecordsOnlyWithoutFormFeeds) {
  const std::string text = "LastName: A\n\n \t\nFirstName: B\nFree text\n\n";
  EXPECT_EQ(Values(Read(text, Separation::kBlankLine), kLastName), (Strings{"A", ""}));
  const ReadResult one = Read(text, Separation::kFormFeed);
  ASSERT_EQ(one.records.size(), 1u);
  EXPECT_EQ(one.records[0].values[kFirstName], "B");
}

TEST(RecordReader, ChunkBoundariesDoNotChangeTheRecords) {
  const std::string text =
      "Form: Person\r\nFullName: Taro\r\n  Yamada\r\nLastName: 山田\rFirstName: 太郎\n"
      "CompanyName: 株式会社\r\n\t表示\r\n\f\r\nLastName: " +
      std::string(kMaxLine + 100, 'x') + "\r\nFirstName: end";
  const ReadResult whole = Read(text);
  for (size_t chunk : {1u, 2u, 7u, 4096u}) {
    const ReadResult pieces = Read(text, Separation::kFormFeed, chunk);
    ASSERT_EQ(pieces.records.size(), whole.records.size()) << "chunk " << chunk;
    for (size_t i = 0; i < whole.records.size(); ++i) {
      EXPECT_EQ(pieces.records[i].values, whole.records[i].values) << "chunk " << chunk;
      EXPECT_EQ(pieces.records[i].line, whole.records[i].line) << "chunk " << chunk;
    }
  }
  EXPECT_EQ(whole.records[0].values[kFullName], "Taro Yamada");
  EXPECT_EQ(whole.records[0].values[kFirstName], "太郎");
  EXPECT_EQ(whole.records[0].values[kCompanyName], "株式会社表示");
  EXPECT_EQ(whole.records[1].line, 9);
}

TEST(RecordReader, ItemLines) {
  const ReadResult result = Read(
      "lastname:\t\t山田\n"       // any case, tabs
      "Department:部: 課:係\n"    // no blank after the colon; later colons are value
      "Last Name: not an item\n"  // a blank in the name: free text
      "FirstName:  　太郎　 \n"   // blanks, tabs and full-width spaces trimmed
      "FirstName: second\n"       // a repeated item keeps its first value
      "InternetAddress:\n"        // present but empty
      "CompanyName: ａ@\n");      // 0x82 0x81 '@': no full-width space at the end
  ASSERT_EQ(result.records.size(), 1u);
  const Record& record = result.records[0];
  EXPECT_EQ(record.values[kLastName], "山田");
  EXPECT_EQ(record.values[kDepartment], "部: 課:係");
  EXPECT_EQ(record.values[kFirstName], "太郎");
  EXPECT_TRUE(record.present[kInternetAddress]);
  EXPECT_TRUE(record.values[kInternetAddress].empty());
  EXPECT_EQ(record.values[kCompanyName], "ａ@");
  EXPECT_FALSE(record.present[kMailAddress]);
}

TEST(RecordReader, WrappedLinesJoinWithABlankUnlessADoubleByteCharacterMeetsTheJoin) {
  const ReadResult result = Read(
      "Department: Research and\n  Development\n"
      "CompanyName: 株式会社\n ポート\n\tフォリオ Ltd\n  Japan\n"
      "FullName: 表\n  x\n"
      "Comment: ignored\n  also ignored\n"
      "LastName: A\nfree text\n  not a continuation\n"
      "LastName: B\n  continues nothing\n");
  ASSERT_EQ(result.records.size(), 1u);
  const Record& record = result.records[0];
  EXPECT_EQ(record.values[kDepartment], "Research and Development");
  EXPECT_EQ(record.values[kCompanyName], "株式会社ポートフォリオ Ltd Japan");
  EXPECT_EQ(record.values[kFullName], "表x");
  EXPECT_EQ(record.values[kLastName], "A");
}

TEST(RecordReader, SecondBytesInTheAsciiRangeStayPartOfTheirCharacter) {
  // 表 ソ 能 end in 0x5C, ポ in 0x7C, ァ in 0x40; each stands before a line end or a blank.
  const ReadResult result = Read(
      "LastName: ソ\r\nFirstName: 表 \r\nDepartment: 能|ポ\r\n"
      "CompanyName:\x81\x40ァ\x81\x40\r\n");
  const Record& record = result.records.at(0);
  EXPECT_EQ(record.values[kLastName], "ソ");
  EXPECT_EQ(record.values[kFirstName], "表");
  EXPECT_EQ(record.values[kDepartment], "能|ポ");
  EXPECT_EQ(record.values[kCompanyName], "ァ");
  EXPECT_EQ(result.warnings.Count(Warning::kInvalidByte), 0);
}

TEST(RecordReader, NulBytesAndBrokenCharactersBecomeQuestionMarks) {
  const ReadResult result =
      Read(std::string("LastName: a\0b\x81\nFirstName: \x95\n\nDepartment: \x82\x20x\n", 45));
  const Record& record = result.records.at(0);
  EXPECT_EQ(record.values[kLastName], "a?b?");
  EXPECT_EQ(record.values[kFirstName], "?");
  EXPECT_EQ(record.values[kDepartment], "? x");
  EXPECT_EQ(result.warnings.Count(Warning::kInvalidByte), 3);
  EXPECT_EQ(result.warnings.Lines(Warning::kInvalidByte), (std::vector<long>{1, 2, 4}));
}

TEST(RecordReader, LongLinesAndValuesAreCutOnWholeCharacters) {
  std::string text = "LastName: x";
  for (size_t i = 0; i < kMaxLine; ++i) text += "表";
  text += "\nFirstName: a\n";
  for (int i = 0; i < 5000; ++i) text += "  continuation line\n";
  for (size_t chunk : {std::string_view::npos, size_t{1000}}) {
    const ReadResult result = Read(text, Separation::kFormFeed, chunk);
    const Record& record = result.records.at(0);
    EXPECT_LE(record.values[kLastName].size(), kMaxValue);
    EXPECT_EQ(record.values[kLastName].size() % 2, 1u);  // "x" and whole double-byte characters
    EXPECT_EQ(record.values[kLastName].substr(record.values[kLastName].size() - 2), "表");
    EXPECT_LE(record.values[kFirstName].size(), kMaxValue);
    EXPECT_GT(record.values[kFirstName].size(), kMaxValue - 20);
    EXPECT_EQ(result.warnings.Lines(Warning::kLongLine)[0], 1);
    EXPECT_EQ(result.warnings.Count(Warning::kInvalidByte), 0);
  }
}

TEST(RecordReader, Utf8IsConvertedAndMissingCharactersReported) {
  const ReadResult result = Read(u8"LastName: 山田\u3000\nFirstName: Andr\u00e9\n",
                                 Separation::kFormFeed, std::string_view::npos, Encoding::kUtf8);
  const Record& record = result.records.at(0);
  EXPECT_EQ(record.values[kLastName], "山田");
  EXPECT_EQ(record.values[kFirstName], "Andr?");
  EXPECT_EQ(result.warnings.Lines(Warning::kUnmappable), (std::vector<long>{2}));
}

}  // namespace
}  // namespace tamarack
