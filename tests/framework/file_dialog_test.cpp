#include "framework/file_dialog.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/support/file_dialog_driver.h"
#include "tests/support/message_box_interceptor.h"
#include "tests/support/text.h"

namespace {

using Filters = std::vector<std::pair<std::string, std::string>>;
using Labels = std::vector<std::string>;

const char kExistingFile[] = "C:\\windows\\win.ini";

std::string TempFolder() {
  char buffer[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, buffer);
  return buffer;
}

// Shows the open dialog of a fresh FileDialog given filterText, cancels it and returns what
// the dialog offered.
SeenFileDialog OpenedWithFilter(const char* filterText) {
  FileDialogDriver driver;
  driver.Cancel();
  FileDialog dialog;
  dialog.SetFilter(filterText);
  std::string path;
  dialog.ShowOpen(nullptr, path);
  return driver.Dialogs().empty() ? SeenFileDialog() : driver.Dialogs()[0];
}

TEST(FileDialogTest, FreshDialogOffersAllFilesAndTheTxtExtension) {
  FileDialogDriver driver;
  driver.Cancel();
  FileDialog dialog;
  std::string path;
  dialog.ShowOpen(nullptr, path);
  ASSERT_EQ(driver.Dialogs().size(), 1u);
  const SeenFileDialog& seen = driver.Dialogs()[0];
  EXPECT_EQ(seen.filters, (Filters{{"All files (*.*)", "*.*"}}));
  EXPECT_EQ(seen.fileTypes, (Labels{"All files (*.*)"}));
  EXPECT_EQ(seen.defaultExtension, "txt");
  EXPECT_EQ(seen.structSize, static_cast<DWORD>(OPENFILENAME_SIZE_VERSION_400A));
  EXPECT_EQ(seen.fileNameAtOpen, "");
}

TEST(FileDialogTest, CsvFilterReplacesTheDefault) {
  const SeenFileDialog seen = OpenedWithFilter("CSVﾌｧｲﾙ(*.csv)|*.csv||");
  EXPECT_EQ(seen.filters, (Filters{{"CSVﾌｧｲﾙ(*.csv)", "*.csv"}}));
  EXPECT_EQ(seen.fileTypes, (Labels{"CSVﾌｧｲﾙ(*.csv)"})) << Utf8(seen.fileTypes.at(0));
  EXPECT_EQ(seen.defaultExtension, "txt");
}

TEST(FileDialogTest, FilterWithoutTrailingBarIsStillEnded) {
  const SeenFileDialog seen = OpenedWithFilter("Text (*.txt)|*.txt|All (*.*)|*.*");
  EXPECT_EQ(seen.filters, (Filters{{"Text (*.txt)", "*.txt"}, {"All (*.*)", "*.*"}}));
  EXPECT_EQ(seen.fileTypes, (Labels{"Text (*.txt)", "All (*.*)"}));
}

TEST(FileDialogTest, SecondFilterStaysBehindTheFirst) {
  FileDialogDriver driver;
  driver.Cancel();
  FileDialog dialog;
  dialog.SetFilter("CSVﾌｧｲﾙ(*.csv)|*.csv||");
  dialog.SetFilter("Text (*.txt)|*.txt||");
  std::string path;
  dialog.ShowSave(nullptr, path);
  ASSERT_EQ(driver.Dialogs().size(), 1u);
  EXPECT_EQ(driver.Dialogs()[0].filters, (Filters{{"CSVﾌｧｲﾙ(*.csv)", "*.csv"}}));
}

TEST(FileDialogTest, MissingFilterTextKeepsTheDefault) {
  EXPECT_EQ(OpenedWithFilter(nullptr).filters, (Filters{{"All files (*.*)", "*.*"}}));
  EXPECT_EQ(OpenedWithFilter("").filters, (Filters{{"All files (*.*)", "*.*"}}));
}

TEST(FileDialogTest, CancelledDialogsLeaveThePath) {
  FileDialogDriver driver;
  driver.Cancel();
  driver.Cancel();
  FileDialog dialog;
  std::string path = "C:\\表示\\kept.csv";
  EXPECT_EQ(dialog.ShowOpen(nullptr, path), 0);
  EXPECT_EQ(path, "C:\\表示\\kept.csv");
  EXPECT_EQ(dialog.ShowSave(nullptr, path), 0);
  EXPECT_EQ(path, "C:\\表示\\kept.csv");
  EXPECT_EQ(driver.Dialogs().size(), 2u);
}

TEST(FileDialogTest, OpenAnswersTheChosenFileAndStartsAfreshNextTime) {
  FileDialogDriver driver;
  driver.Choose(kExistingFile);
  driver.Cancel();
  FileDialog dialog;
  std::string path;
  EXPECT_NE(dialog.ShowOpen(nullptr, path), 0);
  EXPECT_EQ(path, kExistingFile);

  EXPECT_EQ(dialog.ShowOpen(nullptr, path), 0);
  EXPECT_EQ(path, kExistingFile);
  ASSERT_EQ(driver.Dialogs().size(), 2u);
  EXPECT_EQ(driver.Dialogs()[1].fileNameAtOpen, "") << "the second dialog's file-name box";
  // An existing file only, read-only box hidden, no overwrite question.
  const DWORD flags = driver.Dialogs()[0].flags;
  EXPECT_EQ(flags & (OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT),
            static_cast<DWORD>(OFN_FILEMUSTEXIST | OFN_HIDEREADONLY));
}

TEST(FileDialogTest, SaveAnswersTheNameWithTheDefaultExtension) {
  FileDialogDriver driver;
  const std::string name = TempFolder() + "tamarack report";
  DeleteFileA((name + ".txt").c_str());
  driver.Choose(name);
  FileDialog dialog;
  std::string path;
  EXPECT_NE(dialog.ShowSave(nullptr, path), 0);
  EXPECT_EQ(path, name + ".txt");
  ASSERT_EQ(driver.Dialogs().size(), 1u);
  EXPECT_EQ(driver.Dialogs()[0].flags, static_cast<DWORD>(0x280826));
}

TEST(FileDialogTest, SaveOverAnExistingFileAsksFirst) {
  const std::string existing = TempFolder() + "tamarack existing.csv";
  HANDLE file = CreateFileA(existing.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);
  {
    MessageBoxInterceptor boxes;
    boxes.Answer(IDYES);
    FileDialogDriver driver;
    driver.Choose(existing);
    FileDialog dialog;
    dialog.SetFilter("CSVﾌｧｲﾙ(*.csv)|*.csv||");
    std::string path;
    EXPECT_NE(dialog.ShowSave(nullptr, path), 0);
    EXPECT_EQ(path, existing);
    EXPECT_EQ(boxes.Boxes().size(), 1u);
  }
  DeleteFileA(existing.c_str());
}

}  // namespace
