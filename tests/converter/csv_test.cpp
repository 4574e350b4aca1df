#include "csv.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tamarack {
namespace {

// A field copied as it stands, or quoted with its quotes doubled.
std::string Expected(const std::string& field) {
  if (field.find_first_of(",\"\r\n") == std::string::npos) return field;
  std::string quoted = "\"";
  for (const char c : field) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

// Fields are copied and searched sixteen bytes at a time, eight for shorter ones, with the
// last load overlapping the one before: every length, with a byte that needs quotes in every
// place, or none.
TEST(CsvRows, QuotesAFieldWhereverItsSpecialByteLies) {
  CsvRows rows;
  std::string want;
  for (size_t length = 0; length <= 40; ++length) {
    for (size_t at = 0; at <= length; ++at) {
      for (const char special : {',', '"', '\r', '\n'}) {
        std::string field(length, 'x');
        for (size_t i = 0; i < length; i += 3) field[i] = "表"[0];  // bytes above 0x7F too
        if (at < length) field[at] = special;
        const std::vector<std::string_view> fields = {field, "a", field};
        rows.Append(fields.data(), fields.size());
        want += Expected(field) + ",a," + Expected(field) + "\r\n";
      }
    }
  }
  EXPECT_EQ(rows.Text(), want);
  rows.Clear();
  EXPECT_EQ(rows.Text(), "");
}

}  // namespace
}  // namespace tamarack
