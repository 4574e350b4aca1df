// The shipped pair of executables as a user meets it: each test starts the real
// TamarackUI.exe in a process of its own and drives it only with what crosses process
// boundaries (window search, WM_SETTEXT, posted clicks, list-view messages through a buffer in
// the target), reads every message box it opens and answers it. Every wait is bounded and says
// what it awaited; a failed test terminates the programs it started.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>

#include "resources/resource.h"
#include "tests/system/remote_ui.h"

namespace {

const DWORD kDialogTimeoutMs = 20000;
const DWORD kBoxTimeoutMs = 20000;
const DWORD kActionTimeoutMs = 5000;
const DWORD kExitTimeoutMs = 20000;
// A completion box that does not come within this time after No is taken as not coming.
const DWORD kNoBoxMs = 1500;

const char kConfirmCaption[] = "確認";
const char kConfirmText[] = "変換処理を開始します。よろしいですか？";
const char kDoneText[] = "処理が終了しました。";
const char kErrorCaption[] = "エラー";
const char kStandInDelayVariable[] = "TAMARACK_STAND_IN_MS";

std::string OwnFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path);
  return folder.substr(0, folder.find_last_of('\\') + 1);
}

bool FileExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Removes a folder with everything in it; the tests' folders hold only files and folders.
void RemoveTree(const std::string& folder) {
  WIN32_FIND_DATAA found{};
  HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(folder + name + "\\");
      } else {
        DeleteFileA((folder + name).c_str());
      }
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  RemoveDirectoryA(folder.c_str());
}

class SystemTest : public testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    work_ = std::string(temp) + "tamarack-system-" + std::to_string(GetCurrentProcessId()) + "-" +
            std::to_string(GetTickCount64()) + "\\";
    ASSERT_TRUE(CreateDirectoryA(work_.c_str(), nullptr)) << "cannot create " << work_;
  }

  void TearDown() override {
    frontEnd_.reset();  // terminates a front-end that is still running
    SetEnvironmentVariableA(kStandInDelayVariable, nullptr);
    RemoveTree(work_);
  }

  // A folder of its own holding a copy of TamarackUI.exe beside the recording stand-in as
  // Tamarack.exe, which then works for delayMs milliseconds.
  std::string PrepareStandInFolder(int delayMs) {
    const std::string folder = work_ + "stand-in\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    EXPECT_TRUE(CopyFileA((OwnFolder() + "TamarackUI.exe").c_str(),
                          (folder + "TamarackUI.exe").c_str(), FALSE));
    EXPECT_TRUE(CopyFileA((OwnFolder() + "stand_in_converter.exe").c_str(),
                          (folder + "Tamarack.exe").c_str(), FALSE));
    SetEnvironmentVariableA(kStandInDelayVariable, std::to_string(delayMs).c_str());
    return folder;
  }

  // Starts TamarackUI.exe from folder, in the test's own work folder, and waits for its dialog.
  bool StartFrontEnd(const std::string& folder) {
    frontEnd_ = std::make_unique<StartedProcess>();
    std::string error;
    if (!frontEnd_->Start(folder + "TamarackUI.exe", work_, error)) {
      ADD_FAILURE() << error;
      return false;
    }
    const DWORD id = frontEnd_->Id();
    if (!PollUntil([&] { return (dialog_ = FindMainDialog(id)) != nullptr; }, kDialogTimeoutMs)) {
      ADD_FAILURE() << "awaited the dialog titled Tamarack of " << folder
                    << "TamarackUI.exe: not shown within " << kDialogTimeoutMs << " ms";
      return false;
    }
    list_ =
        std::make_unique<RemoteListView>(frontEnd_->Handle(), GetDlgItem(dialog_, IDC_FIELD_LIST));
    if (!list_->IsUsable()) {
      ADD_FAILURE() << "no buffer could be allocated in the front-end's process";
      return false;
    }
    return true;
  }

  bool SetText(int id, const std::string& text) {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(GetDlgItem(dialog_, id), WM_SETTEXT, 0,
                        reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG, kActionTimeoutMs,
                        &result);
    const std::string shown = RemoteWindowText(GetDlgItem(dialog_, id));
    if (shown != text) {
      ADD_FAILURE() << "control " << id << " shows \"" << Utf8(shown) << "\" after setting \""
                    << Utf8(text) << "\"";
      return false;
    }
    return true;
  }

  int RowOf(const std::string& name) const {
    for (int row = 0; row < list_->GetItemCount(); ++row) {
      if (list_->GetItemText(row) == name) return row;
    }
    return -1;
  }

  bool CheckFields(std::initializer_list<const char*> names) {
    for (const char* name : names) {
      const int row = RowOf(name);
      if (row < 0 || !list_->SetCheck(row, true) || !list_->GetCheck(row)) {
        ADD_FAILURE() << "cannot check the field " << Utf8(name) << " (row " << row << ")";
        return false;
      }
    }
    return true;
  }

  // Selects the field and presses "↑" until it is the first row.
  bool MoveFieldToTop(const std::string& name) {
    int row = RowOf(name);
    if (row < 0 || !list_->Select(row)) {
      ADD_FAILURE() << "cannot select the field " << Utf8(name);
      return false;
    }
    while (row > 0) {
      PostClick(dialog_, IDC_MOVE_UP);
      const int above = row - 1;
      if (!PollUntil([&] { return RowOf(name) == above; }, kActionTimeoutMs)) {
        ADD_FAILURE() << "awaited " << Utf8(name) << " moving up to row " << above
                      << "; the rows are " << Utf8(list_->Rows());
        return false;
      }
      row = above;
    }
    return true;
  }

  bool ClickCheckBox(int id, LRESULT expected) {
    PostClick(dialog_, id);
    HWND box = GetDlgItem(dialog_, id);
    if (!PollUntil([&] { return SendMessageA(box, BM_GETCHECK, 0, 0) == expected; },
                   kActionTimeoutMs)) {
      ADD_FAILURE() << "awaited check box " << id << " in state " << expected;
      return false;
    }
    return true;
  }

  // Waits for the next message box of the front-end and reads it.
  bool AwaitBox(SeenBox& seen, const std::string& awaited) {
    HWND box = nullptr;
    const DWORD id = frontEnd_->Id();
    if (!PollUntil([&] { return (box = FindMessageBox(id)) != nullptr; }, kBoxTimeoutMs)) {
      ADD_FAILURE() << "awaited " << awaited << ": no message box within " << kBoxTimeoutMs
                    << " ms";
      return false;
    }
    seen = ReadMessageBox(box);
    return true;
  }

  // Presses a button the box has and waits for the box to go.
  bool Answer(const SeenBox& seen, int button) {
    if (!PressBoxButton(seen.box, button)) {
      ADD_FAILURE() << "the box \"" << Utf8(seen.text) << "\" has no button " << button;
      return false;
    }
    if (!PollUntil([&] { return !IsWindow(seen.box); }, kActionTimeoutMs)) {
      ADD_FAILURE() << "awaited the box \"" << Utf8(seen.text) << "\" closing after button "
                    << button;
      return false;
    }
    return true;
  }

  // Awaits a box with exactly this caption and text and answers it.
  bool ExpectBox(const std::string& caption, const std::string& text, int button) {
    SeenBox seen;
    const std::string awaited = "the box \"" + Utf8(text) + "\"";
    if (!AwaitBox(seen, awaited)) return false;
    EXPECT_EQ(Utf8(seen.caption), Utf8(caption)) << "caption of " << awaited;
    EXPECT_EQ(Utf8(seen.text), Utf8(text));
    return Answer(seen, button) && seen.caption == caption && seen.text == text;
  }

  bool ExpectNoBox(DWORD forMs) {
    const DWORD id = frontEnd_->Id();
    if (PollUntil([&] { return FindMessageBox(id) != nullptr; }, forMs)) {
      ADD_FAILURE() << "an unexpected box came: \"" << Utf8(ReadMessageBox(FindMessageBox(id)).text)
                    << "\"";
      return false;
    }
    return true;
  }

  // Starts a conversion and says Yes to the confirmation.
  bool StartAndConfirm() {
    PostClick(dialog_, IDOK);
    return ExpectBox(kConfirmCaption, kConfirmText, IDYES);
  }

  // Presses "閉じる" and expects the program to end with exit code 0.
  bool CloseAndExpectExitZero() {
    PostClick(dialog_, IDCANCEL);
    return ExpectExitZero();
  }

  bool ExpectExitZero() {
    DWORD exitCode = 1234;
    if (!frontEnd_->WaitForExit(kExitTimeoutMs, exitCode)) {
      ADD_FAILURE() << "awaited the end of TamarackUI.exe: still running after " << kExitTimeoutMs
                    << " ms";
      return false;
    }
    EXPECT_EQ(exitCode, 0u) << "exit code of TamarackUI.exe";
    return exitCode == 0;
  }

  std::string work_;
  std::unique_ptr<StartedProcess> frontEnd_;
  HWND dialog_ = nullptr;
  std::unique_ptr<RemoteListView> list_;
};

std::string SampleFile(const char* name) { return OwnFolder() + "system-data\\" + name; }

TEST_F(SystemTest, ConvertsTheSampleWithAllSixFields) {
  const std::string output = work_ + "addressbook.csv";
  ASSERT_TRUE(StartFrontEnd(OwnFolder()));
  ASSERT_TRUE(SetText(IDC_INPUT_PATH, SampleFile("addressbook.txt")));
  ASSERT_TRUE(SetText(IDC_OUTPUT_PATH, output));
  PostClick(dialog_, IDC_SELECT_ALL);
  ASSERT_TRUE(PollUntil(
      [&] {
        for (int row = 0; row < 6; ++row) {
          if (!list_->GetCheck(row)) return false;
        }
        return true;
      },
      kActionTimeoutMs))
      << "awaited all six fields checked after 全て選択";

  ASSERT_TRUE(StartAndConfirm());
  ASSERT_TRUE(ExpectBox(kConfirmCaption, kDoneText, IDOK));
  ASSERT_TRUE(FileExists(output)) << "no CSV written at " << output;
  EXPECT_TRUE(ReadBytes(output) == ReadBytes(SampleFile("addressbook.csv")))
      << "the CSV differs from the expected file";
  ASSERT_TRUE(CloseAndExpectExitZero());
}

TEST_F(SystemTest, ConvertsAReorderedSubsetWithAddressesFromFullName) {
  const std::string output = work_ + "addressbook-fullname.csv";
  ASSERT_TRUE(StartFrontEnd(OwnFolder()));
  ASSERT_TRUE(SetText(IDC_INPUT_PATH, SampleFile("addressbook.txt")));
  ASSERT_TRUE(SetText(IDC_OUTPUT_PATH, output));
  ASSERT_TRUE(CheckFields({"宛先名", "EMAIL", "部署"}));
  ASSERT_TRUE(MoveFieldToTop("EMAIL"));
  EXPECT_EQ(Utf8(list_->Rows()), Utf8("EMAIL 宛先名 姓 名 会社名 部署"));
  ASSERT_TRUE(ClickCheckBox(IDC_USE_FULLNAME, BST_CHECKED));
  ASSERT_TRUE(SetText(IDC_DOMAIN, "example.co.jp"));

  ASSERT_TRUE(StartAndConfirm());
  // Two people of the sample have no romanised name: the converter warns once, and the
  // front-end shows that text in a box with an empty caption before the completion box.
  SeenBox warning;
  ASSERT_TRUE(AwaitBox(warning, "the converter's warning about names without an address"));
  EXPECT_EQ(warning.caption, "") << "caption \"" << Utf8(warning.caption) << "\"";
  EXPECT_NE(warning.text.find("addressbook.txt"), std::string::npos)
      << "the warning does not name the input file: \"" << Utf8(warning.text) << "\"";
  ASSERT_TRUE(Answer(warning, IDOK));
  ASSERT_TRUE(ExpectBox(kConfirmCaption, kDoneText, IDOK));
  ASSERT_TRUE(FileExists(output)) << "no CSV written at " << output;
  EXPECT_TRUE(ReadBytes(output) == ReadBytes(SampleFile("addressbook-fullname.csv")))
      << "the CSV differs from the expected file";
  ASSERT_TRUE(CloseAndExpectExitZero());
}

TEST_F(SystemTest, ReportsTheFourEntryErrorsInOrderAndRunsNothingAfterNo) {
  const std::string output = work_ + "never.csv";
  ASSERT_TRUE(StartFrontEnd(OwnFolder()));

  PostClick(dialog_, IDOK);
  ASSERT_TRUE(ExpectBox(kErrorCaption, "入力ファイルが指定されていません", IDOK));
  ASSERT_TRUE(SetText(IDC_INPUT_PATH, SampleFile("addressbook.txt")));
  PostClick(dialog_, IDOK);
  ASSERT_TRUE(ExpectBox(kErrorCaption, "出力ファイルが指定されていません", IDOK));
  // With the option on and no domain as well, the missing fields are reported first.
  ASSERT_TRUE(SetText(IDC_OUTPUT_PATH, output));
  ASSERT_TRUE(ClickCheckBox(IDC_USE_FULLNAME, BST_CHECKED));
  ASSERT_TRUE(SetText(IDC_DOMAIN, ""));
  PostClick(dialog_, IDOK);
  ASSERT_TRUE(ExpectBox(kErrorCaption, "出力項目にチェックが入っていません", IDOK));
  ASSERT_TRUE(CheckFields({"姓"}));
  PostClick(dialog_, IDOK);
  ASSERT_TRUE(ExpectBox(kErrorCaption, "ドメインを入力して下さい。", IDOK));

  ASSERT_TRUE(SetText(IDC_DOMAIN, "example.co.jp"));
  PostClick(dialog_, IDOK);
  ASSERT_TRUE(ExpectBox(kConfirmCaption, kConfirmText, IDNO));
  EXPECT_TRUE(ExpectNoBox(kNoBoxMs)) << "no completion box follows No";
  EXPECT_FALSE(FileExists(output)) << "a file was written after No";
  ASSERT_TRUE(CloseAndExpectExitZero());
}

TEST_F(SystemTest, ShowsTheConvertersErrorTextThenTheCompletionBox) {
  const std::string missing = work_ + "no-such-book.txt";
  const std::string output = work_ + "missing.csv";
  ASSERT_TRUE(StartFrontEnd(OwnFolder()));
  ASSERT_TRUE(SetText(IDC_INPUT_PATH, missing));
  ASSERT_TRUE(SetText(IDC_OUTPUT_PATH, output));
  ASSERT_TRUE(CheckFields({"姓", "名"}));
  ASSERT_TRUE(StartAndConfirm());

  SeenBox error;
  ASSERT_TRUE(AwaitBox(error, "the converter's error text"));
  EXPECT_EQ(error.caption, "") << "caption \"" << Utf8(error.caption) << "\"";
  EXPECT_NE(error.text.find("no-such-book.txt"), std::string::npos)
      << "the error does not name the input file: \"" << Utf8(error.text) << "\"";
  ASSERT_TRUE(Answer(error, IDOK));
  ASSERT_TRUE(ExpectBox(kConfirmCaption, kDoneText, IDOK));
  EXPECT_FALSE(FileExists(output)) << "a CSV was written from a missing input";
  ASSERT_TRUE(CloseAndExpectExitZero());
}

TEST_F(SystemTest, ClosingDuringARunStillShowsTheCompletionBoxAndExitsWithZero) {
  const std::string folder = PrepareStandInFolder(3000);
  ASSERT_TRUE(StartFrontEnd(folder));
  ASSERT_TRUE(SetText(IDC_INPUT_PATH, work_ + "in.txt"));
  ASSERT_TRUE(SetText(IDC_OUTPUT_PATH, work_ + "out.csv"));
  ASSERT_TRUE(CheckFields({"EMAIL"}));
  ASSERT_TRUE(StartAndConfirm());
  ASSERT_TRUE(
      PollUntil([&] { return FileExists(folder + "received-command-line.txt"); }, kBoxTimeoutMs))
      << "awaited the stand-in converter starting";

  // The close button works by mouse during a run.
  HWND dialog = dialog_;
  PostClick(dialog, IDCANCEL);
  ASSERT_TRUE(PollUntil([&] { return !IsWindow(dialog); }, kActionTimeoutMs))
      << "awaited the dialog closing during the run";
  EXPECT_FALSE(FileExists(folder + "finished.txt")) << "the run ended before the close";

  SeenBox done;
  ASSERT_TRUE(AwaitBox(done, "the completion box after closing during the run"));
  EXPECT_TRUE(FileExists(folder + "finished.txt")) << "completion shown before the run ended";
  EXPECT_EQ(done.owner, nullptr) << "the completion box has an owner";
  EXPECT_EQ(Utf8(done.caption), Utf8(kConfirmCaption));
  EXPECT_EQ(Utf8(done.text), Utf8(kDoneText));
  ASSERT_TRUE(Answer(done, IDOK));
  ASSERT_TRUE(ExpectExitZero());
}

TEST_F(SystemTest, JapanesePathsSpacesAndATrailingBackslashReachTheConverterIntact) {
  const std::string folder = PrepareStandInFolder(0);
  // 表 and ソ end in the byte 0x5C, the backslash.
  const std::string input = "C:\\テスト 入力\\表ソ 住所録.txt";
  const std::string output = "C:\\出力 フォルダ\\";
  const std::string domain = "社内 メール.jp";
  ASSERT_TRUE(StartFrontEnd(folder));
  ASSERT_TRUE(SetText(IDC_INPUT_PATH, input));
  ASSERT_TRUE(SetText(IDC_OUTPUT_PATH, output));
  ASSERT_TRUE(CheckFields({"EMAIL", "姓"}));
  ASSERT_TRUE(ClickCheckBox(IDC_USE_FULLNAME, BST_CHECKED));
  ASSERT_TRUE(SetText(IDC_DOMAIN, domain));
  ASSERT_TRUE(StartAndConfirm());
  ASSERT_TRUE(ExpectBox(kConfirmCaption, kDoneText, IDOK));

  const std::string received = ReadBytes(folder + "received-command-line.txt");
  const std::string expected = "Tamarack.exe \"" + input + "\" \"" + output +
                               "\" \"/E=FullName\" \"/D=" + domain + "\" 姓 EMAIL ";
  EXPECT_TRUE(received == expected)
      << "received: [" << Utf8(received) << "]\nexpected: [" << Utf8(expected) << "]";
  ASSERT_TRUE(CloseAndExpectExitZero());
}

}  // namespace
