#include "frontend/entry_check.h"

#include <gtest/gtest.h>

#include "tests/support/text.h"

namespace {

std::string FirstError(const RequestEntries& entries) {
  const char* error = FirstEntryError(entries);
  return Utf8(error != nullptr ? error : "");
}

// Only the first failing entry is reported: each path's quote check right after its emptiness
// check, the fields before the domain, and the domain only with the FullName option, the only
// time it reaches the command line. A double quote would re-split that command line; one blank
// is an entry.
TEST(EntryCheckTest, OnlyTheFirstFailingEntryIsReported) {
  EXPECT_EQ(FirstError({"", "", "", true, ""}), Utf8("入力ファイルが指定されていません"));
  EXPECT_EQ(FirstError({"C:\\a\" /x", "", "", true, ""}), Utf8("入力ファイルに「\"」は使えません"));
  EXPECT_EQ(FirstError({" ", "\"", "", true, ""}), Utf8("出力ファイルに「\"」は使えません"));
  EXPECT_EQ(FirstError({" ", " ", "", true, ""}), Utf8("出力項目にチェックが入っていません"));
  EXPECT_EQ(FirstError({" ", " ", "姓 ", true, ""}), Utf8("ドメインを入力して下さい。"));
  EXPECT_EQ(FirstError({" ", " ", "姓 ", true, "co.jp\" \"x"}),
            Utf8("ドメインに「\"」は使えません"));
  EXPECT_EQ(FirstError({" ", " ", "姓 ", true, " "}), "");
  EXPECT_EQ(FirstError({" ", " ", "姓 ", false, "\""}), "");
}

}  // namespace
