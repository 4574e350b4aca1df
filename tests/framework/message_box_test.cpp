#include "framework/message_box.h"

#include <gtest/gtest.h>

#include "tests/support/message_box_interceptor.h"
#include "tests/support/text.h"

namespace {

class MessageBoxTest : public testing::Test {
 protected:
  void SetUp() override {
    owner_ = CreateWindowExA(0, "Static", "owner", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(owner_, nullptr);
  }
  void TearDown() override {
    if (IsWindow(owner_)) DestroyWindow(owner_);
  }

  HWND owner_ = nullptr;
};

TEST_F(MessageBoxTest, CaptionComesBeforeText) {
  MessageBoxInterceptor boxes;
  boxes.Answer(IDOK);
  EXPECT_EQ(ShowMessage(owner_, "確認", "処理が終了しました。", kNoticeBoxType), IDOK);
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  const RecordedBox& box = boxes.Boxes()[0];
  EXPECT_EQ(box.caption, "確認") << Utf8(box.caption);
  EXPECT_EQ(box.text, "処理が終了しました。") << Utf8(box.text);
  EXPECT_EQ(box.owner, owner_);
  EXPECT_EQ(box.type, static_cast<UINT>(MB_OK | MB_SYSTEMMODAL)) << "no icon, topmost";
}

TEST_F(MessageBoxTest, EmptyCaptionStaysEmpty) {
  MessageBoxInterceptor boxes;
  boxes.Answer(IDOK);
  ShowMessage(owner_, "", "error text", kNoticeBoxType);
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].caption, "");
  EXPECT_EQ(boxes.Boxes()[0].text, "error text");
}

TEST_F(MessageBoxTest, BoxWithoutOwnerStillShows) {
  MessageBoxInterceptor boxes;
  boxes.Answer(IDOK);
  EXPECT_EQ(ShowMessage(nullptr, "エラー", "text", kNoticeBoxType), IDOK);
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].owner, nullptr);
}

TEST_F(MessageBoxTest, ConfirmIsTrueOnlyForYes) {
  MessageBoxInterceptor boxes;
  boxes.Answer(IDYES);
  boxes.Answer(IDNO);
  EXPECT_TRUE(ConfirmYesNo(owner_, "確認", "変換を開始しますか？"));
  EXPECT_FALSE(ConfirmYesNo(owner_, "確認", "変換を開始しますか？"));
  ASSERT_EQ(boxes.Boxes().size(), 2u);
  EXPECT_EQ(boxes.Boxes()[0].type, static_cast<UINT>(MB_YESNO | MB_SYSTEMMODAL));
  EXPECT_EQ(boxes.Boxes()[0].caption, "確認");
}

TEST_F(MessageBoxTest, FailedConfirmationIsNo) {
  MessageBoxInterceptor boxes;
  DestroyWindow(owner_);
  // A destroyed owner: the platform shows nothing and answers 0.
  EXPECT_FALSE(ConfirmYesNo(owner_, "確認", "text"));
  EXPECT_TRUE(boxes.Boxes().empty());
}

}  // namespace
