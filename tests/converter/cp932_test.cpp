#include "cp932.h"
#include "utf8.h"

#include <gtest/gtest.h>

#include <string>

namespace tamarack {
namespace {

TEST(Cp932, UnicodeIsWrittenAsWindowsWritesItButForTheJisForms) {
  const struct {
    const char* utf8;
    const char* cp932;
    bool unmappable, invalid;
  } cases[] = {
      // The JIS forms, then code page 932's own forms of the same characters.
      {u8"\u301C\u2016\u2212\u00A2\u00A3\u00AC\u2014", "～∥－￠￡￢―", false, false},
      {u8"\uFF5E\u2225\uFF0D\uFFE0\uFFE1\uFFE2\u2015", "～∥－￠￡￢―", false, false},
      // Of two codes for one character, the one Windows writes: NEC's row 13, IBM's kanji.
      {u8"\u2160\u2235\u7E8A\u2170\u2252", "\x87\x54\x81\xE6\xFA\x5C\xFA\x40\x81\xE0", false,
       false},
      {u8"山田 ｱ太郎\uE000", "山田 ｱ太郎\xF0\x40", false, false},
      // Runs of three-byte characters broken by one of one byte, one the table lacks, the end.
      {u8"山田ｱ太郎𠮷表\u0800能", "山田ｱ太郎?表?能", true, false},
      {u8"a\U00020BB7b\U0001F600\u00E9", "a?b??", true, false},
      // A surrogate, a cut sequence, an overlong form, a stray continuation byte.
      {"\xED\xA0\x80|\xE5\xB1|\xC0\xAF|\x80", "?|?|??|?", false, true},
  };
  for (const auto& c : cases) {
    std::string cp932;
    const Replaced replaced = Utf8ToCp932(c.utf8, cp932);
    EXPECT_EQ(cp932, c.cp932) << c.utf8;
    EXPECT_EQ(replaced.unmappable, c.unmappable) << c.utf8;
    EXPECT_EQ(replaced.invalid, c.invalid) << c.utf8;
  }
}

TEST(Cp932, ReadsEveryCodeAsWindowsReadsIt) {
  std::string utf8;
  AppendCp932AsUtf8("～\xED\x40\x87\x90ｱ\xF9\xFC|\x85\x40|\xA0|\x81", utf8);
  EXPECT_EQ(utf8, u8"\uFF5E\u7E8A\u2252\uFF71\uE757|?|?|?");
}

}  // namespace
}  // namespace tamarack
