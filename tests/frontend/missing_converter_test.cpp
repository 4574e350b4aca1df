// The request when no Tamarack.exe can be found: this executable lies in a folder without one.
#include "resources/resource.h"
#include "tests/frontend/dialog_fixture.h"
#include "tests/support/message_box_interceptor.h"
#include "tests/support/text.h"

namespace {

using MissingConverterTest = ConverterDialogTest;

TEST_F(MissingConverterTest, TheFailureIsReportedAndTheCompletionStillFollows) {
  SetText(IDC_INPUT_PATH, "in.txt");
  SetText(IDC_OUTPUT_PATH, "out.csv");
  CheckField("EMAIL");
  MessageBoxInterceptor boxes;
  boxes.Answer(IDYES);
  boxes.AnswerOk(2);
  Start();
  ASSERT_EQ(boxes.Boxes().size(), 3u);
  const RecordedBox& failure = boxes.Boxes()[1];
  EXPECT_EQ(failure.caption, "エラー");
  EXPECT_EQ(failure.owner, Dialog());
  EXPECT_EQ(failure.text.rfind("Tamarack.exe を起動できませんでした。\n", 0), 0u)
      << Utf8(failure.text);
  EXPECT_NE(failure.text.find("(エラー 2)"), std::string::npos) << Utf8(failure.text);
  EXPECT_EQ(boxes.Boxes()[2].caption, "確認");
  EXPECT_EQ(boxes.Boxes()[2].text, "処理が終了しました。");
}

}  // namespace
