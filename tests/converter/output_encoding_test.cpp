// A UTF-8 output has its byte order mark once, at its start, or none, also when a later read of
// the book shows what the first did not and the conversion starts again from the start, after
// the rows of the first pass filled more than one write.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "run.h"

namespace tamarack {
namespace {

// The output of converting the book into family names, with the option given.
std::string Convert(const std::string& book, const std::string& option) {
  const std::string folder = std::string("output_encoding_scratch/") +
                             ::testing::UnitTest::GetInstance()->current_test_info()->name();
  std::filesystem::create_directories(folder);
  std::ofstream(folder + "/in.txt", std::ios::binary) << book;
  std::string out, err;
  EXPECT_EQ(Run({folder + "/in.txt", folder + "/out.csv", option, "family"}, out, err),
            kExitSuccess)
      << err;
  std::ifstream csv(folder + "/out.csv", std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(csv), {});
}

// Outputs of megabytes are told apart by where they first differ.
void ExpectSameCsv(const std::string& got, const std::string& want) {
  const size_t at = static_cast<size_t>(
      std::mismatch(got.begin(), got.end(), want.begin(), want.end()).first - got.begin());
  EXPECT_EQ(got.substr(at, 40), want.substr(std::min(at, want.size()), 40))
      << "first difference at byte " << at << " of " << got.size() << " (want " << want.size()
      << ")";
}

TEST(OutputEncoding, AMarkOnceAcrossARestartAndWrites) {
  // More than a read of ASCII records, each a LastName of quotes, which the CSV doubles: more
  // than two writes of rows.
  std::string book, rows;
  while (book.size() <= kReadSize) {
    book += "LastName: " + std::string(500, '"') + "\n\n";
    rows += std::string(1002, '"') + "\r\n";
  }
  std::string comments;  // more than a read without a row
  while (comments.size() <= kReadSize) comments += "Comment: " + std::string(70, 'c') + "\n";
  for (const std::string mark : {"\xEF\xBB\xBF", ""}) {
    const std::string option = mark.empty() ? "/O=UTF-8N" : "/O=UTF-8";
    // Read as UTF-8 at first, then as code page 932, whose 山 ends the book.
    std::string csv = Convert(book + "LastName: \x8E\x52\n", option);
    EXPECT_EQ(csv.rfind("\xEF\xBB\xBF"), mark.empty() ? std::string::npos : 0) << option;
    ExpectSameCsv(csv, mark + u8"姓\r\n" + rows + u8"山\r\n");
    // Form feeds separate the records in the end: the records before the first are one.
    csv = Convert(book + "\fLastName: last\n", option);
    EXPECT_EQ(csv.rfind("\xEF\xBB\xBF"), mark.empty() ? std::string::npos : 0) << option;
    ExpectSameCsv(csv, mark + u8"姓\r\n" + rows.substr(0, 1004) + "last\r\n");
    // The same before the first write.
    EXPECT_EQ(Convert("LastName: a\n\n" + comments + "\fLastName: b\n", option),
              mark + u8"姓\r\na\r\nb\r\n");
  }
}

}  // namespace
}  // namespace tamarack
