#include "cp932.h"
#include "utf8.h"

#include <gtest/gtest.h>

#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

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

#ifdef _WIN32
// Every character of the Basic Multilingual Plane, against the system's own code page 932.
TEST(Cp932, AgreesWithTheSystemsCodePage) {
  for (char32_t c = 1; c < 0x10000; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    const wchar_t wide = static_cast<wchar_t>(c);
    char bytes[2] = {};
    BOOL usedDefault = FALSE;
    const int length = WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, &wide, 1, bytes, sizeof bytes,
                                           "?", &usedDefault);
    std::string utf8, ours;
    const std::string system = usedDefault ? "" : std::string(bytes, length);
    AppendUtf8(c, utf8);
    if (Utf8ToCp932(utf8, ours).unmappable) ours.clear();
    // The JIS forms are ours alone. U+0080 and U+F8F0-F8F3 are Windows' own extensions, which
    // give bytes that are no character.
    const bool jisForm = c == 0xA2 || c == 0xA3 || c == 0xAC || c == 0x2014 || c == 0x2016 ||
                         c == 0x2212 || c == 0x301C;
    if (jisForm || c == 0x80 || (c >= 0xF8F0 && c <= 0xF8F3)) continue;
    ASSERT_EQ(ours, system) << std::hex << "U+" << static_cast<unsigned>(c);
  }
}
#endif

}  // namespace
}  // namespace tamarack
