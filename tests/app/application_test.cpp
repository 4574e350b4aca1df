#include "app/application.h"

#include <gtest/gtest.h>

#include <vector>

#include "frontend/converter_dialog.h"
#include "resources/resource.h"
#include "tests/support/pump.h"
#include "tests/support/text.h"

namespace {

// A dialog from the program's template that records the clicks and keyboard commands it
// receives (notification code 0), not the edit boxes' notifications.
class RecordingDialog : public Dialog {
 public:
  LRESULT WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override {
    if (msg == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
      commands.push_back(LOWORD(wParam));
      return 1;
    }
    return DefaultProc(hwnd, msg, wParam, lParam);
  }
  std::vector<int> commands;
};

void PostKey(HWND target, UINT vk) {
  const LPARAM lParam = MAKELPARAM(1, MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
  PostMessageA(target, WM_KEYDOWN, vk, lParam);
  PostMessageA(target, WM_KEYUP, vk, lParam | 0xC0000000);
}

class MessageLoopTest : public testing::Test {
 protected:
  void SetUp() override {
    InitCommonControls();
    ASSERT_NE(dialog_.CreateModeless(nullptr, IDD_CONVERTER), nullptr);
    dialog_.Show(SW_SHOW);
    PumpPending();
  }
  void TearDown() override {
    dialog_.Destroy();
    PumpPending();
  }
  HWND Item(int id) { return GetDlgItem(dialog_.GetHandle(), id); }
  // Runs the loop over what the test queued, ended by a quit with code 7.
  void RunQueued() {
    PostQuitMessage(7);
    EXPECT_EQ(RunMessageLoop(), 7);
  }

  RecordingDialog dialog_;
};

TEST_F(MessageLoopTest, TabInAnEditMovesTheFocusToTheNextControl) {
  SetFocus(Item(IDC_INPUT_PATH));
  PostKey(Item(IDC_INPUT_PATH), VK_TAB);
  RunQueued();
  EXPECT_EQ(GetFocus(), Item(IDC_BROWSE_INPUT));
}

TEST_F(MessageLoopTest, EnterInAnEditReachesTheDefaultButton) {
  SetFocus(Item(IDC_OUTPUT_PATH));
  PostKey(Item(IDC_OUTPUT_PATH), VK_RETURN);
  RunQueued();
  EXPECT_EQ(dialog_.commands, std::vector<int>{IDOK});
}

TEST_F(MessageLoopTest, EscapeInTheListGivesCancel) {
  SetFocus(Item(IDC_FIELD_LIST));
  PostKey(Item(IDC_FIELD_LIST), VK_ESCAPE);
  RunQueued();
  EXPECT_EQ(dialog_.commands, std::vector<int>{IDCANCEL});
}

TEST_F(MessageLoopTest, KeysTypedIntoAnEditStillReachIt) {
  SetFocus(Item(IDC_INPUT_PATH));
  PostMessageA(Item(IDC_INPUT_PATH), WM_CHAR, 'a', 1);
  PostMessageA(Item(IDC_INPUT_PATH), WM_CHAR, 'b', 1);
  RunQueued();
  EXPECT_EQ(WindowText(Item(IDC_INPUT_PATH)), "ab");
  EXPECT_TRUE(dialog_.commands.empty());
}

ConverterDialog* running = nullptr;

// Runs inside the program's loop once the dialog is up.
void CALLBACK PressEscapeInTheDomainBox(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  HWND hwnd = running->GetHandle();
  EXPECT_TRUE(IsWindowVisible(hwnd));
  EXPECT_EQ(WindowText(hwnd), "Tamarack");
  PostKey(GetDlgItem(hwnd, IDC_DOMAIN), VK_ESCAPE);
}

// The whole program in-process: start-up, the loop, and Escape closing the dialog.
TEST(ApplicationTest, EscapeClosesTheDialogAndEndsWithZero) {
  ConverterDialog dialog;
  running = &dialog;
  SetTimer(nullptr, 0, 0, PressEscapeInTheDomainBox);
  EXPECT_EQ(RunApplication(dialog), 0);
  EXPECT_EQ(dialog.GetHandle(), nullptr);
}

}  // namespace
