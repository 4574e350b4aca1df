#include "framework/message_box.h"

#include <gtest/gtest.h>

#include "tests/support/message_box_interceptor.h"
#include "tests/support/text.h"

namespace {

TEST(MessageBoxTest, CaptionComesFirstAndOnlyYesConfirms) {
  HWND owner =
      CreateWindowExA(0, "Static", "", WS_POPUP, 0, 0, 9, 9, nullptr, nullptr, nullptr, nullptr);
  MessageBoxInterceptor boxes;
  boxes.AnswerOk(2);
  boxes.Answer(IDYES);
  boxes.Answer(IDNO);
  EXPECT_EQ(ShowMessage(owner, "確認", "処理が終了しました。", kNoticeBoxType), IDOK);
  EXPECT_EQ(ShowMessage(nullptr, "", "error text", kNoticeBoxType), IDOK);
  EXPECT_TRUE(ConfirmYesNo(owner, "確認", "変換を開始しますか？"));
  EXPECT_FALSE(ConfirmYesNo(owner, "確認", "変換を開始しますか？"));
  ASSERT_EQ(boxes.Boxes().size(), 4u);
  const RecordedBox& box = boxes.Boxes()[0];
  EXPECT_EQ(box.caption, "確認") << Utf8(box.caption);
  EXPECT_EQ(box.text, "処理が終了しました。") << Utf8(box.text);
  EXPECT_EQ(box.owner, owner);
  EXPECT_EQ(box.type, static_cast<UINT>(MB_OK | MB_SYSTEMMODAL)) << "no icon, topmost";
  EXPECT_EQ(boxes.Boxes()[1].caption, "") << "an empty caption stays empty";
  EXPECT_EQ(boxes.Boxes()[1].owner, nullptr);
  EXPECT_EQ(boxes.Boxes()[2].type, static_cast<UINT>(MB_YESNO | MB_SYSTEMMODAL));
  EXPECT_EQ(boxes.Boxes()[2].caption, "確認");
  // A destroyed owner: the platform shows nothing and answers 0.
  DestroyWindow(owner);
  EXPECT_FALSE(ConfirmYesNo(owner, "確認", "text"));
  EXPECT_EQ(boxes.Boxes().size(), 4u);
}

}  // namespace
