#include "framework/file_dialog.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/support/file_dialog_driver.h"

namespace {

using Filters = std::vector<std::pair<std::string, std::string>>;

const char kExistingFile[] = "C:\\windows\\win.ini";

TEST(FileDialogTest, FilterTextsBuildTheSystemsList) {
  const Filters all{{"All files (*.*)", "*.*"}};
  const Filters csv{{"CSVﾌｧｲﾙ(*.csv)", "*.csv"}};
  const struct {
    std::vector<const char*> texts;
    Filters expected;
  } cases[] = {
      {{}, all},
      {{nullptr, ""}, all},
      {{"CSVﾌｧｲﾙ(*.csv)|*.csv||"}, csv},
      {{"Text (*.txt)|*.txt|All (*.*)|*.*"}, {{"Text (*.txt)", "*.txt"}, {"All (*.*)", "*.*"}}},
      {{"CSVﾌｧｲﾙ(*.csv)|*.csv||", "Text (*.txt)|*.txt||"}, csv},  // the first list ends it
  };
  for (const auto& c : cases) {
    FileDialogDriver driver;
    driver.Cancel();
    FileDialog dialog;
    for (const char* text : c.texts) dialog.SetFilter(text);
    std::string path;
    dialog.ShowOpen(nullptr, path);
    ASSERT_EQ(driver.Dialogs().size(), 1u);
    EXPECT_EQ(driver.Dialogs()[0].filters, c.expected) << c.texts.size() << " filter texts";
  }
}

TEST(FileDialogTest, AnsweredAndCancelledDialogs) {
  char folder[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, folder);
  const std::string name = std::string(folder) + "tamarack report";
  DeleteFileA((name + ".txt").c_str());
  FileDialogDriver driver;
  driver.Choose(kExistingFile);
  driver.Cancel();
  driver.Cancel();
  driver.Choose(name);
  FileDialog dialog;
  std::string path;
  EXPECT_NE(dialog.ShowOpen(nullptr, path), 0);
  EXPECT_EQ(path, kExistingFile);
  EXPECT_EQ(dialog.ShowOpen(nullptr, path), 0);
  EXPECT_EQ(dialog.ShowSave(nullptr, path), 0);
  EXPECT_EQ(path, kExistingFile) << "cancelled: the path stays";
  EXPECT_NE(dialog.ShowSave(nullptr, path), 0);
  EXPECT_EQ(path, name + ".txt") << "with the default extension";
  ASSERT_EQ(driver.Dialogs().size(), 4u);
  EXPECT_EQ(driver.Dialogs()[1].fileNameAtOpen, "") << "the second dialog's file-name box";
  // Open: an existing file only, read-only box hidden, no overwrite question.
  EXPECT_EQ(
      driver.Dialogs()[0].flags & (OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT),
      static_cast<DWORD>(OFN_FILEMUSTEXIST | OFN_HIDEREADONLY));
  // Save: the overwrite question and a hidden read-only box, with the bits the system implies.
  EXPECT_EQ(driver.Dialogs()[3].flags, static_cast<DWORD>(0x280826));
}

}  // namespace
