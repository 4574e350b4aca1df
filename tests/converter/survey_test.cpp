#include "survey.h"

#include <gtest/gtest.h>

#include <string>

namespace tamarack {
namespace {

std::string Repeat(const std::string& text, size_t times) {
  std::string repeated;
  for (size_t i = 0; i < times; ++i) repeated += text;
  return repeated;
}

TEST(InputSurvey, FindsTheEncodingTheMarkAndTheSeparation) {
  const std::string ascii(kTextCheckSize, 'x');
  const struct {
    std::string bytes;
    FileEncoding encoding;
    size_t mark;
    Separation separation;
  } cases[] = {
      {"\xEF\xBB\xBFLastName: \x8E\x52\f", FileEncoding::kUtf8, 3, Separation::kFormFeed},
      {std::string("\xFF\xFEL\0\f\0", 6), FileEncoding::kUtf16Le, 2, Separation::kFormFeed},
      {std::string("\xFE\xFF\0L\f\0", 6), FileEncoding::kUtf16Be, 2, Separation::kBlankLine},
      {std::string("\xFF\xFE\0\0L\0\0\0", 8), FileEncoding::kNotText, 4, Separation::kBlankLine},
      {std::string("\0\0\xFE\xFF\0\0\0L", 8), FileEncoding::kNotText, 4, Separation::kBlankLine},
      {std::string("PK\3\4\0\0", 6), FileEncoding::kNotText, 0, Separation::kBlankLine},
      {ascii + std::string("\0", 1) + u8"山", FileEncoding::kUtf8, 0, Separation::kBlankLine},
      {u8"LastName: 山田\f𠮷", FileEncoding::kUtf8, 0, Separation::kFormFeed},
      {"LastName: Yamada\f", FileEncoding::kCp932, 0, Separation::kFormFeed},
      {ascii + u8"山田" + "\x8E\x52\f" + u8"田", FileEncoding::kCp932, 0, Separation::kFormFeed},
      {u8"LastName: 山\xE7\x94", FileEncoding::kCp932, 0, Separation::kBlankLine},
      {"\xEF\xBB", FileEncoding::kCp932, 0, Separation::kBlankLine},
      // Sequences across the 64-byte blocks the survey looks at; lead bytes whose second byte
      // has a narrower range: U+0800 is valid, an overlong form and a surrogate are not.
      {std::string(63, 'x') + u8"山" + std::string(62, 'y') + u8"𠮷\f", FileEncoding::kUtf8, 0,
       Separation::kFormFeed},
      {std::string(62, 'x') + "\xE0\xA0\x80\xED\x9F\xBF", FileEncoding::kUtf8, 0,
       Separation::kBlankLine},
      {std::string(62, 'x') + "\xE0\x9F\xBF", FileEncoding::kCp932, 0, Separation::kBlankLine},
      {std::string(62, 'x') + u8"山\xED\xA0\x80", FileEncoding::kCp932, 0, Separation::kBlankLine},
      // Runs of three-byte sequences, checked five at a time, broken by sequences of the lead
      // bytes with narrower ranges.
      {u8"山田太郎表示\u0800能登十河\uD7FF山田太郎表示", FileEncoding::kUtf8, 0,
       Separation::kBlankLine},
      {u8"山田太郎表示能\xED\xA0\x80十河山田太郎", FileEncoding::kCp932, 0, Separation::kBlankLine},
      {u8"山田太郎表\xE0\x9F\xBF十河山田太郎", FileEncoding::kCp932, 0, Separation::kBlankLine},
      // Blocks of 64 bytes checked at once when they hold only such sequences, with the one
      // that goes on into the next block (its lead byte 62 or 63 bytes in) checked apart. The
      // blocks start after the first four bytes, which are looked at for a mark.
      {"xxxxxx" + Repeat(u8"山", 21) + "\f", FileEncoding::kUtf8, 0, Separation::kFormFeed},
      {"xxxxxxx" + Repeat(u8"山", 21), FileEncoding::kUtf8, 0, Separation::kBlankLine},
      {"xxxxxx" + Repeat(u8"山", 20) + "\xE5\xB1x" + Repeat(u8"山", 21), FileEncoding::kCp932, 0,
       Separation::kBlankLine},
      {"xxxxxxx" + Repeat(u8"山", 20) + "\xE5x" + Repeat(u8"山", 21), FileEncoding::kCp932, 0,
       Separation::kBlankLine},
      {"xxxx" + Repeat(u8"山", 10) + "\xE5\xB1x" + Repeat(u8"山", 21), FileEncoding::kCp932, 0,
       Separation::kBlankLine},
  };
  for (const auto& c : cases) {
    for (size_t chunk : {size_t{1}, size_t{3}, c.bytes.size()}) {
      InputSurvey survey;
      for (size_t i = 0; i < c.bytes.size() && survey.Feed(c.bytes.substr(i, chunk)); i += chunk) {
      }
      survey.Finish();
      const std::string context =
          ::testing::PrintToString(c.bytes.substr(0, 16)) + " chunk " + std::to_string(chunk);
      EXPECT_EQ(survey.FoundEncoding(), c.encoding) << context;
      EXPECT_EQ(survey.MarkSize(), c.mark) << context;
      EXPECT_EQ(survey.RecordSeparation(), c.separation) << context;
    }
  }
}

// Pairs make characters; a surrogate alone keeps its invalid UTF-8 form and an odd last byte
// becomes an invalid byte, for the reader to replace and report on its line.
TEST(InputDecoder, DecodesUtf16SplitAnywhere) {
  const std::string bytes("\xFE\xFF\0a\xD8\x3D\xDE\x00\xD8\x00\0b\xDC\x00\x41", 15);
  for (size_t chunk : {size_t{1}, size_t{3}, bytes.size()}) {
    InputDecoder decoder(FileEncoding::kUtf16Be, 2);
    std::string text;
    for (size_t i = 0; i < bytes.size(); i += chunk) text += decoder.Decode(bytes.substr(i, chunk));
    text += decoder.Finish();
    EXPECT_EQ(text,
              u8"a\U0001F600"
              "\xED\xA0\x80"
              "b"
              "\xED\xB0\x80"
              "\xFF")
        << chunk;
  }
}

}  // namespace
}  // namespace tamarack
