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
  RecordedBox warning = boxes.Boxes()[0];
  warning.caption.clear();  // the system's default caption, in the system's language
  EXPECT_EQ(warning, (RecordedBox{nullptr, "", "アプリケーションを初期化できません",
                                  MB_OK | MB_ICONEXCLAMATION}));
  EXPECT_EQ(dialog.GetHandle(), nullptr);
}
