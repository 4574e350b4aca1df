#include "framework/controls.h"

#include <gtest/gtest.h>

#include <string>

#include "resources/resource.h"
#include "tests/support/text.h"

namespace {

const int kThreeStateId = 2000;

// The program's dialog, plus a three-state box of the tests' own.
class ControlsTest : public testing::Test {
 protected:
  void SetUp() override {
    InitCommonControls();
    ASSERT_NE(dialog_.CreateModeless(nullptr, IDD_CONVERTER), nullptr);
    CreateWindowExA(0, "Button", "3", WS_CHILD | BS_AUTO3STATE, 0, 0, 20, 20, dialog_.GetHandle(),
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(kThreeStateId)),
                    GetModuleHandleA(nullptr), nullptr);
  }
  void TearDown() override { dialog_.Destroy(); }
  HWND Item(int id) { return GetDlgItem(dialog_.GetHandle(), id); }

  Dialog dialog_;
};

TEST_F(ControlsTest, AttachByIdNeedsAParentButNotAControl) {
  EditBox edit;
  EXPECT_EQ(edit.AttachById(nullptr, IDC_INPUT_PATH), 0);
  EXPECT_EQ(edit.GetHandle(), nullptr);
  EXPECT_EQ(edit.AttachById(dialog_.GetHandle(), 4242), 1);
  EXPECT_EQ(edit.GetHandle(), nullptr);
  EXPECT_EQ(edit.AttachById(dialog_.GetHandle(), IDC_INPUT_PATH), 1);
  EXPECT_EQ(edit.GetHandle(), Item(IDC_INPUT_PATH));
  EXPECT_EQ(edit.GetParentWindow(), dialog_.GetHandle());
}

TEST_F(ControlsTest, UnboundWrappersAnswerEmpty) {
  EditBox edit;
  CheckBox check;
  EXPECT_STREQ(edit.GetText(), "");
  EXPECT_EQ(edit.SetText("x"), 0);
  EXPECT_EQ(check.IsChecked(), 0);
}

TEST_F(ControlsTest, GetTextReadsTheControl) {
  EditBox edit;
  edit.AttachById(dialog_.GetHandle(), IDC_INPUT_PATH);
  const char* text = edit.GetText();
  ASSERT_NE(text, nullptr);
  EXPECT_STREQ(text, "");

  // 表 is 0x95 0x5C: its trail byte is a backslash.
  const std::string path = "C:\\表示\\住所録 表.txt";
  EXPECT_NE(edit.SetText(path.c_str()), 0);
  EXPECT_EQ(WindowText(Item(IDC_INPUT_PATH)), path);
  EXPECT_EQ(edit.GetText(), path) << Utf8(edit.GetText());
}

TEST_F(ControlsTest, GetTextStopsAt1023Bytes) {
  EditBox edit;
  edit.AttachById(dialog_.GetHandle(), IDC_INPUT_PATH);
  std::string longText;
  for (int i = 0; longText.size() < 1500; ++i) longText += static_cast<char>('a' + i % 26);
  SetWindowTextA(Item(IDC_INPUT_PATH), longText.c_str());
  EXPECT_EQ(std::string(edit.GetText()), longText.substr(0, 1023));
}

TEST_F(ControlsTest, SetTextWithoutTextLeavesTheControlAlone) {
  EditBox edit;
  edit.AttachById(dialog_.GetHandle(), IDC_DOMAIN);
  SetWindowTextA(Item(IDC_DOMAIN), "co.jp");
  EXPECT_EQ(edit.SetText(nullptr), 0);
  EXPECT_EQ(WindowText(Item(IDC_DOMAIN)), "co.jp");
}

TEST_F(ControlsTest, OnlyTheCheckedStateReadsAsChecked) {
  CheckBox check;
  check.AttachById(dialog_.GetHandle(), kThreeStateId);
  EXPECT_EQ(check.IsChecked(), 0);
  SendMessageA(Item(kThreeStateId), BM_SETCHECK, BST_CHECKED, 0);
  EXPECT_EQ(check.IsChecked(), 1);
  SendMessageA(Item(kThreeStateId), BM_SETCHECK, BST_INDETERMINATE, 0);
  ASSERT_EQ(IsDlgButtonChecked(dialog_.GetHandle(), kThreeStateId), BST_INDETERMINATE);
  EXPECT_EQ(check.IsChecked(), 0);

  CheckBox fullName;
  fullName.AttachById(dialog_.GetHandle(), IDC_USE_FULLNAME);
  CheckDlgButton(dialog_.GetHandle(), IDC_USE_FULLNAME, BST_CHECKED);
  EXPECT_EQ(fullName.IsChecked(), 1);
}

}  // namespace
