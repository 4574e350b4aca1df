#include "app/application.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <vector>

#include "resources/resource.h"
#include "tests/support/text.h"

namespace {

// Records the dialog's clicks and keyboard commands, not the edit boxes' notifications.
class RecordingDialog : public Dialog {
 public:
  LRESULT WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override {
    if (msg != WM_COMMAND || HIWORD(wParam) != BN_CLICKED) {
      return DefaultProc(hwnd, msg, wParam, lParam);
    }
    commands.push_back(LOWORD(wParam));
    return 1;
  }
  std::vector<int> commands;
};

// Keys offered to the loop: where the focus goes, what commands the dialog gets. Typed
// characters still reach the edit.
TEST(MessageLoopTest, KeysGoThroughDialogNavigation) {
  InitCommonControls();
  const struct {
    int from;
    UINT key;
    int focus;
    std::vector<int> commands;
    const char* text;  // after typing "a": the list keeps its title
  } cases[] = {
      {IDC_INPUT_PATH, VK_TAB, IDC_BROWSE_INPUT, {}, "a"},
      {IDC_OUTPUT_PATH, VK_RETURN, IDC_OUTPUT_PATH, {IDOK}, "a"},
      {IDC_FIELD_LIST, VK_ESCAPE, IDC_FIELD_LIST, {IDCANCEL}, "List1"},
  };
  for (const auto& c : cases) {
    RecordingDialog dialog;
    ASSERT_NE(dialog.CreateModeless(nullptr, IDD_CONVERTER), nullptr);
    dialog.Show(SW_SHOW);
    HWND from = GetDlgItem(dialog.GetHandle(), c.from);
    SetFocus(from);
    PostMessageA(from, WM_CHAR, 'a', 1);
    const LPARAM lParam = MAKELPARAM(1, MapVirtualKeyA(c.key, MAPVK_VK_TO_VSC));
    PostMessageA(from, WM_KEYDOWN, c.key, lParam);
    PostMessageA(from, WM_KEYUP, c.key, lParam | 0xC0000000);
    PostQuitMessage(7);
    EXPECT_EQ(RunMessageLoop(), 7);
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog.GetHandle(), c.focus)) << "key " << c.key;
    EXPECT_EQ(dialog.commands, c.commands) << "key " << c.key;
    EXPECT_EQ(WindowText(from), c.text);
    dialog.Destroy();
  }
}

}  // namespace
