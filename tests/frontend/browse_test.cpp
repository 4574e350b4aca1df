// The main dialog's two browse buttons, answered by the file-dialog driver.
#include "frontend/converter_dialog.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "resources/resource.h"
#include "tests/support/file_dialog_driver.h"
#include "tests/support/text.h"

namespace {

// 表 ends in the byte 0x5C, the backslash; the names hold spaces.
const char kFolder[] = "C:\\タマラック 表";
const char kInputFile[] = "C:\\タマラック 表\\住所録 一覧.txt";
const char kOutputFile[] = "C:\\タマラック 表\\出力 結果.csv";

class BrowseTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    CreateDirectoryA(kFolder, nullptr);
    HANDLE file = CreateFileA(kInputFile, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  }
  static void TearDownTestSuite() {
    DeleteFileA(kOutputFile);
    DeleteFileA(kInputFile);
    RemoveDirectoryA(kFolder);
  }
  void SetUp() override {
    ASSERT_NE(GetFileAttributesA(kInputFile), INVALID_FILE_ATTRIBUTES) << "test file not created";
    InitCommonControls();
    ASSERT_NE(dialog_.CreateModeless(nullptr, IDD_CONVERTER), nullptr);
  }
  void TearDown() override {
    dialog_.Destroy();
    // The dialog's end asks the loop to quit; no loop runs here.
    MSG msg{};
    PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
  }

  HWND Item(int id) { return GetDlgItem(dialog_.GetHandle(), id); }
  void Press(int id) {
    SendMessageA(dialog_.GetHandle(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(Item(id)));
  }

  ConverterDialog dialog_;
};

using Filters = std::vector<std::pair<std::string, std::string>>;

// Deliberate: a cancelled browse keeps what the user had typed instead of emptying the box.
TEST_F(BrowseTest, CancelLeavesThePathBoxesAsTheyWere) {
  SetWindowTextA(Item(IDC_INPUT_PATH), "C:\\古い\\入力.txt");
  SetWindowTextA(Item(IDC_OUTPUT_PATH), "C:\\古い\\出力.csv");
  FileDialogDriver driver;
  driver.Cancel();
  driver.Cancel();
  Press(IDC_BROWSE_INPUT);
  Press(IDC_BROWSE_OUTPUT);
  ASSERT_EQ(driver.Dialogs().size(), 2u);
  EXPECT_EQ(WindowText(Item(IDC_INPUT_PATH)), "C:\\古い\\入力.txt");
  EXPECT_EQ(WindowText(Item(IDC_OUTPUT_PATH)), "C:\\古い\\出力.csv");
}

TEST_F(BrowseTest, ChosenInputFileReplacesTheText) {
  SetWindowTextA(Item(IDC_INPUT_PATH), "C:\\古い\\入力.txt");
  FileDialogDriver driver;
  driver.Choose(kInputFile);
  Press(IDC_BROWSE_INPUT);
  EXPECT_EQ(WindowText(Item(IDC_INPUT_PATH)), kInputFile) << Utf8(WindowText(Item(IDC_INPUT_PATH)));
  ASSERT_EQ(driver.Dialogs().size(), 1u);
  const SeenFileDialog& seen = driver.Dialogs()[0];
  EXPECT_EQ(seen.owner, dialog_.GetHandle());
  EXPECT_EQ(seen.fileNameAtOpen, "");
  EXPECT_EQ(seen.filters, (Filters{{"All files (*.*)", "*.*"}}));
  EXPECT_NE(seen.flags & OFN_FILEMUSTEXIST, 0u) << "the open dialog";
}

TEST_F(BrowseTest, ChosenOutputFileReplacesTheTextAndOnlyCsvIsOffered) {
  FileDialogDriver driver;
  driver.Choose(kOutputFile);
  Press(IDC_BROWSE_OUTPUT);
  EXPECT_EQ(WindowText(Item(IDC_OUTPUT_PATH)), kOutputFile)
      << Utf8(WindowText(Item(IDC_OUTPUT_PATH)));
  EXPECT_EQ(WindowText(Item(IDC_INPUT_PATH)), "");
  ASSERT_EQ(driver.Dialogs().size(), 1u);
  const SeenFileDialog& seen = driver.Dialogs()[0];
  EXPECT_EQ(seen.owner, dialog_.GetHandle());
  EXPECT_EQ(seen.filters, (Filters{{"CSVﾌｧｲﾙ(*.csv)", "*.csv"}}));
  EXPECT_EQ(seen.fileTypes, std::vector<std::string>{"CSVﾌｧｲﾙ(*.csv)"});
  EXPECT_NE(seen.flags & OFN_OVERWRITEPROMPT, 0u) << "the save dialog";
}

}  // namespace
