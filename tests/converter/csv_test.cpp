#include "csv.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tamarack {
namespace {

// Appends one row and returns its text. The rows gather in one buffer, which grows as they do.
std::string AppendRow(CsvRows& rows, const std::vector<std::string_view>& fields) {
  const size_t before = rows.Text().size();
  rows.Append(fields.data(), fields.size());
  return std::string(rows.Text().substr(before));
}

TEST(CsvRows, QuotesTheFieldsThatNeedIt) {
  const std::string quotes(18, '"');  // each doubled: the most room a field takes
  const std::pair<std::vector<std::string_view>, std::string> cases[] = {
      {{"山田", "", "a b"}, "山田,,a b\r\n"},
      {{"two\r\nlines", "cr\r", "lf\n"}, "\"two\r\nlines\",\"cr\r\",\"lf\n\"\r\n"},
      {{quotes}, "\"" + std::string(36, '"') + "\"\r\n"},
      {{"ソ|表"}, "ソ|表\r\n"},  // second bytes 0x5C and 0x7C
  };
  CsvRows rows;
  for (const auto& [fields, row] : cases) EXPECT_EQ(AppendRow(rows, fields), row);
}

// Fields are copied and searched sixteen bytes at a time, eight for shorter ones, with the last
// load overlapping the one before: every byte of a field of any length is copied, and a byte
// that needs quotes is found wherever it lies.
TEST(CsvRows, FindsTheByteThatNeedsQuotesAnywhere) {
  CsvRows rows;
  for (size_t length = 1; length <= 40 && !HasFailure(); ++length) {
    std::string field;
    for (size_t i = 0; i < length; ++i) field += i % 3 == 0 ? '\x95' : static_cast<char>('a' + i);
    EXPECT_EQ(AppendRow(rows, {field, "x", field}), field + ",x," + field + "\r\n") << length;
    for (size_t at = 0; at < length; ++at) {
      for (const std::string special : {",", "\r", "\n", "\""}) {
        const std::string with = field.substr(0, at) + special + field.substr(at + 1);
        const std::string quoted = "\"" + field.substr(0, at) +
                                   (special == "\"" ? "\"\"" : special) + field.substr(at + 1) +
                                   "\"";
        EXPECT_EQ(AppendRow(rows, {with, "x", with}), quoted + ",x," + quoted + "\r\n")
            << "length " << length << ", byte " << int{special[0]} << " at " << at;
      }
    }
  }
}

}  // namespace
}  // namespace tamarack
