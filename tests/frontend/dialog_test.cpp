// The main dialog as the user finds it and the keys and buttons that work on it.
#include <functional>
#include <vector>

#include "app/application.h"
#include "resources/resource.h"
#include "tests/frontend/dialog_fixture.h"
#include "tests/support/message_box_interceptor.h"
#include "tests/support/pump.h"
#include "tests/support/text.h"

namespace {

const std::vector<std::string> kTableOrder = {"宛先名", "姓", "名", "EMAIL", "会社名", "部署"};

std::vector<std::string> Rows(int count, const std::function<std::string(int)>& text) {
  std::vector<std::string> rows;
  for (int row = 0; row < count; ++row) rows.push_back(text(row));
  return rows;
}

using DialogTest = ConverterDialogTest;

TEST_F(DialogTest, StartsWithTheSixFieldsUncheckedAndTheDefaultDomain) {
  EXPECT_EQ(Rows(RowCount(), [&](int row) { return RowText(row); }), kTableOrder);
  for (int row = 0; row < RowCount(); ++row) {
    EXPECT_FALSE(RowChecked(row)) << "row " << row;
    EXPECT_FALSE(RowSelected(row)) << "row " << row;
  }
  EXPECT_EQ(WindowText(Item(IDC_DOMAIN)), "co.jp");
  EXPECT_EQ(WindowText(Item(IDC_INPUT_PATH)), "");
  EXPECT_EQ(WindowText(Item(IDC_OUTPUT_PATH)), "");
  EXPECT_EQ(IsDlgButtonChecked(Dialog(), IDC_USE_FULLNAME), BST_UNCHECKED);
}

TEST_F(DialogTest, MovingARowCarriesItsCheckAndSelectionAndStopsAtTheEdges) {
  CheckRow(3);
  SelectRow(3);
  Click(IDC_MOVE_UP);
  Click(IDC_MOVE_UP);
  EXPECT_EQ(RowText(1), "EMAIL");
  EXPECT_TRUE(RowChecked(1));
  EXPECT_TRUE(RowSelected(1));
  EXPECT_EQ(RowText(2), "姓");
  EXPECT_FALSE(RowChecked(2));

  SelectRow(0);
  Click(IDC_MOVE_UP);
  SelectRow(5);
  Click(IDC_MOVE_DOWN);
  EXPECT_EQ(RowText(0), "宛先名");
  EXPECT_EQ(RowText(5), "部署");
}

TEST_F(DialogTest, SelectAllChecksEveryRowWithoutSelectingAny) {
  Click(IDC_SELECT_ALL);
  Click(IDC_SELECT_ALL);
  for (int row = 0; row < RowCount(); ++row) {
    EXPECT_TRUE(RowChecked(row)) << "row " << row;
    EXPECT_FALSE(RowSelected(row)) << "row " << row;
  }
}

TEST_F(DialogTest, EnterInTheListStartsTheRequest) {
  MessageBoxInterceptor boxes;
  boxes.AnswerOk();
  SetFocus(Item(IDC_FIELD_LIST));
  PostKey(Item(IDC_FIELD_LIST), VK_RETURN);
  ASSERT_TRUE(PumpUntil([&] { return boxes.Boxes().size() == 1; }));
  EXPECT_EQ(boxes.Boxes()[0].text, "入力ファイルが指定されていません");
}

TEST_F(DialogTest, EscapeClosesTheDialogAndEndsTheLoopWithZero) {
  SetFocus(Item(IDC_DOMAIN));
  PostKey(Item(IDC_DOMAIN), VK_ESCAPE);
  EXPECT_EQ(RunMessageLoop(), 0);
  EXPECT_EQ(Dialog(), nullptr);
}

}  // namespace
