#include "frontend/entry_check.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/text.h"

namespace {

// Only the first failing entry is reported, in a fixed order; filling it in brings the next.
TEST(EntryCheckTest, EntriesFailInTheirFixedOrder) {
  RequestEntries entries;
  entries.useFullName = true;
  const std::pair<const char*, std::string*> steps[] = {
      {"入力ファイルが指定されていません", &entries.input},
      {"出力ファイルが指定されていません", &entries.output},
      {"出力項目にチェックが入っていません", &entries.fields},
      {"ドメインを入力して下さい。", &entries.domain},
  };
  for (const auto& [error, entry] : steps) {
    const char* got = FirstEntryError(entries);
    EXPECT_EQ(Utf8(got != nullptr ? got : "(none)"), Utf8(error));
    *entry = " ";  // one blank is an entry: only emptiness is checked
  }
  EXPECT_EQ(FirstEntryError(entries), nullptr);
  // The domain is only needed for the FullName option.
  entries.domain.clear();
  entries.useFullName = false;
  EXPECT_EQ(FirstEntryError(entries), nullptr);
}

}  // namespace
