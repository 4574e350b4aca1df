// Built without the program's resources: the dialog template cannot be found.
#include "app/application.h"

#include <gtest/gtest.h>

#include "frontend/converter_dialog.h"
#include "tests/support/message_box_interceptor.h"

TEST(MissingTemplateTest, WarnsOnceAndEndsWithZero) {
  ConverterDialog dialog;
  MessageBoxInterceptor boxes;
  boxes.AnswerOk();
  EXPECT_EQ(RunApplication(dialog), 0);
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  const RecordedBox& box = boxes.Boxes()[0];
  EXPECT_EQ(box.text, "アプリケーションを初期化できません");
  EXPECT_EQ(box.owner, nullptr);
  EXPECT_EQ(box.type, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
  EXPECT_EQ(dialog.GetHandle(), nullptr);
}
