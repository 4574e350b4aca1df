// The start-up check of the code page. This program carries no manifest, so it runs with the
// system's code page: 1252 when tools/test runs the suite under C.UTF-8, where a narrow box
// would show mojibake.
#include "app/code_page_check.h"

#include <gtest/gtest.h>

#include "tests/support/message_box_interceptor.h"
#include "tests/support/text.h"

namespace {

// Code page 932 goes without a box; any other gets one that reads right in both languages.
TEST(CodePageTest, TheWarningReadsRightInJapaneseAndEnglish) {
  MessageBoxInterceptor boxes;
  boxes.AnswerOk();
  WarnAboutCodePage(nullptr, 932);
  WarnAboutCodePage(nullptr, 65001);
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  const RecordedBox& box = boxes.Boxes()[0];
  EXPECT_EQ(box.caption, "Tamarack");
  EXPECT_EQ(box.type, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
  for (const char* words : {"日本語の文字が正しく表示されません（コード ページ 65001）",
                            "「ベータ: ワールドワイド言語サポートで Unicode UTF-8 を使用」",
                            "Use Windows 11 or later, or set the system locale to Japanese"}) {
    EXPECT_NE(box.text.find(words), std::string::npos) << Utf8(box.text);
  }
}

}  // namespace
