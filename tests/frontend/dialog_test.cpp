// The main dialog as the user finds it and the buttons that work on it.
#include <string>
#include <utility>
#include <vector>

#include "tests/frontend/dialog_fixture.h"
#include "tests/support/file_dialog_driver.h"

namespace {

using DialogTest = ConverterDialogTest;

TEST_F(DialogTest, StartsWithTheSixFieldsUncheckedAndTheDefaultDomain) {
  const char* const names[] = {"宛先名", "姓", "名", "EMAIL", "会社名", "部署"};
  EXPECT_EQ(ListView_GetItemCount(List()), 6);
  for (int row = 0; row < 6; ++row) {
    EXPECT_EQ(RowText(row), names[row]) << "row " << row;
    EXPECT_FALSE(RowChecked(row) || RowSelected(row)) << "row " << row;
  }
  EXPECT_EQ(WindowText(Item(IDC_DOMAIN)), "co.jp");
  EXPECT_EQ(WindowText(Item(IDC_INPUT_PATH)) + WindowText(Item(IDC_OUTPUT_PATH)), "");
  EXPECT_EQ(IsDlgButtonChecked(Dialog(), IDC_USE_FULLNAME), BST_UNCHECKED);
}

TEST_F(DialogTest, MovingDownCarriesTheCheckAndTheSelection) {
  CheckRow(1);
  SelectRow(1);
  Click(IDC_MOVE_DOWN);
  EXPECT_EQ(RowText(1) + RowText(2), "名姓");
  EXPECT_TRUE(RowChecked(2) && RowSelected(2) && !RowChecked(1));
}

// Deliberate: a cancelled browse keeps what the user had typed instead of emptying the box.
TEST_F(DialogTest, ChosenFilesReplaceThePathsAndCancelKeepsThem) {
  // 表 ends in the byte 0x5C, the backslash; the names hold spaces.
  const std::string folder = "C:\\タマラック 表", input = folder + "\\住所録 一覧.txt";
  const std::string output = folder + "\\出力 結果.csv", typed = "C:\\古い\\入力.txt";
  CreateDirectoryA(folder.c_str(), nullptr);
  CloseHandle(CreateFileA(input.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  SetText(IDC_INPUT_PATH, typed);
  SetText(IDC_OUTPUT_PATH, typed);
  FileDialogDriver driver;
  driver.Cancel();
  driver.Cancel();
  driver.Choose(input);
  driver.Choose(output);
  for (const int id : {IDC_BROWSE_INPUT, IDC_BROWSE_OUTPUT}) Click(id);
  EXPECT_EQ(WindowText(Item(IDC_INPUT_PATH)) + WindowText(Item(IDC_OUTPUT_PATH)), typed + typed);
  for (const int id : {IDC_BROWSE_INPUT, IDC_BROWSE_OUTPUT}) Click(id);
  EXPECT_EQ(WindowText(Item(IDC_INPUT_PATH)), input) << Utf8(WindowText(Item(IDC_INPUT_PATH)));
  EXPECT_EQ(WindowText(Item(IDC_OUTPUT_PATH)), output) << Utf8(WindowText(Item(IDC_OUTPUT_PATH)));
  DeleteFileA(input.c_str());
  RemoveDirectoryA(folder.c_str());

  using Filters = std::vector<std::pair<std::string, std::string>>;
  ASSERT_EQ(driver.Dialogs().size(), 4u);
  const SeenFileDialog &open = driver.Dialogs()[0], &save = driver.Dialogs()[3];
  EXPECT_TRUE(open.owner == Dialog() && save.owner == Dialog());
  EXPECT_EQ(open.filters, (Filters{{"All files (*.*)", "*.*"}}));
  EXPECT_EQ(save.filters, (Filters{{"CSVﾌｧｲﾙ(*.csv)", "*.csv"}}));
  EXPECT_TRUE((open.flags & OFN_FILEMUSTEXIST) && (save.flags & OFN_OVERWRITEPROMPT));
}

}  // namespace
