#include "frontend/entry_check.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "tests/support/text.h"

namespace {

// Only the first failing entry is reported, in a fixed order; giving the entry the next value
// brings the next error. A double quote in an entry would re-split the converter's command line.
TEST(EntryCheckTest, EntriesFailInTheirFixedOrder) {
  RequestEntries entries;
  entries.useFullName = true;
  const std::tuple<const char*, std::string*, const char*> steps[] = {
      {"入力ファイルが指定されていません", &entries.input, "C:\\a\" /x"},
      {"入力ファイルに「\"」は使えません", &entries.input, " "},
      {"出力ファイルが指定されていません", &entries.output, "\""},
      {"出力ファイルに「\"」は使えません", &entries.output, " "},
      {"出力項目にチェックが入っていません", &entries.fields, " "},
      {"ドメインを入力して下さい。", &entries.domain, "co.jp\" \"x"},
      {"ドメインに「\"」は使えません", &entries.domain, " "},
  };
  for (const auto& [error, entry, next] : steps) {
    const char* got = FirstEntryError(entries);
    EXPECT_EQ(Utf8(got != nullptr ? got : "(none)"), Utf8(error));
    *entry = next;  // one blank is an entry: only emptiness and quotes are checked
  }
  EXPECT_EQ(FirstEntryError(entries), nullptr);
  // The domain is only needed, and only reaches the command line, with the FullName option.
  entries.useFullName = false;
  for (const char* domain : {"", "\""}) {
    entries.domain = domain;
    EXPECT_EQ(FirstEntryError(entries), nullptr) << domain;
  }
}

}  // namespace
