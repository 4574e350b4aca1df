#include "framework/controls.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resources/resource.h"
#include "tests/support/text.h"

namespace {

// The item records of the insertions the list view received.
std::vector<LVITEMA> inserted;
WNDPROC listProc = nullptr;

// Sits below the wrapper's subclass, so it sees exactly what the wrapper sends.
LRESULT CALLBACK RecordingListProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == LVM_INSERTITEMA) inserted.push_back(*reinterpret_cast<const LVITEMA*>(lParam));
  return CallWindowProcA(listProc, hwnd, msg, wParam, lParam);
}

using Rows = std::vector<std::string>;

// The program's dialog, its list with check boxes as the dialog sets it up.
class ControlsTest : public testing::Test {
 protected:
  void SetUp() override {
    InitCommonControls();
    ASSERT_NE(dialog_.CreateModeless(nullptr, IDD_CONVERTER), nullptr);
    hwnd_ = GetDlgItem(dialog_.GetHandle(), IDC_FIELD_LIST);
    listProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RecordingListProc)));
    ASSERT_EQ(list_.AttachById(dialog_.GetHandle(), IDC_FIELD_LIST), 1);
    list_.AddExtendedStyle(LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    inserted.clear();
  }
  void TearDown() override { dialog_.Destroy(); }
  HWND Item(int id) { return GetDlgItem(dialog_.GetHandle(), id); }

  void AddRows(const Rows& texts) {
    ASSERT_EQ(list_.InsertColumn("出力項目", 500, 0, LVCFMT_LEFT), 1);
    for (const std::string& text : texts) list_.InsertItem(text, list_.GetItemCount(), 0, -1);
  }
  std::string Cell(int row, int column) {
    char buffer[512] = {};
    ListView_GetItemText(hwnd_, row, column, buffer, sizeof(buffer));
    return buffer;
  }
  // Each row: its first cell, state image (1 unchecked, 2 checked) and * when selected.
  Rows Texts() {
    Rows rows;
    for (int row = 0; row < list_.GetItemCount(); ++row) {
      const UINT state = ListView_GetItemState(hwnd_, row, LVIS_STATEIMAGEMASK | LVIS_SELECTED);
      rows.push_back(Cell(row, 0) + std::to_string(state >> 12) +
                     (state & LVIS_SELECTED ? "*" : ""));
    }
    return rows;
  }

  Dialog dialog_;
  HWND hwnd_ = nullptr;
  ListView list_;
};

TEST_F(ControlsTest, EditBoxReadsAndWritesTheControl) {
  EditBox edit;
  EXPECT_STREQ(edit.GetText(), "") << "unbound";
  EXPECT_EQ(edit.SetText("x"), 0) << "unbound";
  EXPECT_EQ(edit.AttachById(nullptr, IDC_INPUT_PATH), 0);
  EXPECT_EQ(edit.AttachById(dialog_.GetHandle(), 4242), 1);
  EXPECT_EQ(edit.GetHandle(), nullptr) << "a missing id leaves it unbound";
  ASSERT_EQ(edit.AttachById(dialog_.GetHandle(), IDC_INPUT_PATH), 1);
  EXPECT_STREQ(edit.GetText(), "");
  SetWindowTextA(Item(IDC_INPUT_PATH), std::string(1500, 'x').c_str());
  EXPECT_EQ(edit.GetText(), std::string(1023, 'x'));
  // 表 is 0x95 0x5C: its trail byte is a backslash.
  const std::string path = "C:\\表示\\住所録 表.txt";
  EXPECT_NE(edit.SetText(path.c_str()), 0);
  EXPECT_EQ(WindowText(Item(IDC_INPUT_PATH)), path);
  EXPECT_EQ(edit.GetText(), path) << Utf8(edit.GetText());
  EXPECT_EQ(edit.SetText(nullptr), 0);
  EXPECT_EQ(WindowText(Item(IDC_INPUT_PATH)), path);
}

TEST_F(ControlsTest, OnlyTheCheckedStateReadsAsChecked) {
  CheckBox check;
  EXPECT_EQ(check.IsChecked(), 0) << "unbound";
  HWND box =
      CreateWindowExA(0, "Button", "3", WS_CHILD | BS_AUTO3STATE, 0, 0, 20, 20, dialog_.GetHandle(),
                      reinterpret_cast<HMENU>(INT_PTR{2000}), nullptr, nullptr);
  check.AttachById(dialog_.GetHandle(), 2000);
  EXPECT_EQ(check.IsChecked(), 0);
  SendMessageA(box, BM_SETCHECK, BST_CHECKED, 0);
  EXPECT_EQ(check.IsChecked(), 1);
  SendMessageA(box, BM_SETCHECK, BST_INDETERMINATE, 0);
  ASSERT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), BST_INDETERMINATE);
  EXPECT_EQ(check.IsChecked(), 0);
}

TEST_F(ControlsTest, ListViewInsertedRowsAndColumns) {
  EXPECT_EQ(list_.InsertColumn("x", 100, -1, LVCFMT_LEFT), 0);
  EXPECT_EQ(list_.InsertItem("宛先名", 0, 0, -1), 0);
  EXPECT_EQ(list_.InsertItem("表示", 1, 0, 0), 1);
  ASSERT_EQ(inserted.size(), 2u);
  EXPECT_EQ(inserted[0].mask, static_cast<UINT>(LVIF_TEXT | LVIF_PARAM)) << "no image given";
  EXPECT_EQ(inserted[1].mask, static_cast<UINT>(LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM));
  EXPECT_EQ(inserted[1].iImage, 0);
  list_.SwapItems(0, 1);
  EXPECT_EQ(Texts(), (Rows{"宛先名1", "表示1"})) << "unchecked, and no column counted to swap";
  EXPECT_EQ(list_.InsertColumn("x", 100, 0, LVCFMT_LEFT), 1);
  list_.SwapItems(0, 1);
  EXPECT_EQ(Texts(), (Rows{"表示1", "宛先名1"}));
}

TEST_F(ControlsTest, ListViewCheckValuesFollowTheStateImageAndStylesAccumulate) {
  EXPECT_EQ(list_.GetCheck(0), 0) << "empty list";
  ListView_SetExtendedListViewStyleEx(hwnd_, LVS_EX_CHECKBOXES, 0);
  AddRows({"A", "B", "C"});
  EXPECT_EQ(list_.GetCheck(1), -1) << "a row without a check box";
  EXPECT_EQ(list_.AddExtendedStyle(LVS_EX_CHECKBOXES), LRESULT{LVS_EX_FULLROWSELECT});
  EXPECT_EQ(list_.GetExtendedStyle(), DWORD{LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT});
  EXPECT_EQ(list_.GetCheck(1), 0);
  list_.SetCheck(1, 1);
  EXPECT_EQ(list_.GetCheck(1), 1);
  EXPECT_EQ(Texts(), (Rows{"A1", "B2", "C1"}));
  list_.SetCheck(1, 0);
  EXPECT_EQ(Texts(), (Rows{"A1", "B1", "C1"}));
  EXPECT_EQ(list_.GetCheck(-1), 0);
}

TEST_F(ControlsTest, ListViewRefusedIndicesChangeNothing) {
  AddRows({"A", "B"});
  list_.SelectItem(0);
  list_.SetCheck(0, 1);
  EXPECT_EQ(list_.SelectItem(2), 0);
  std::string out = "kept";
  EXPECT_EQ(list_.GetItemText(-1, 0, out) + list_.GetItemText(0, -1, out), 0);
  EXPECT_EQ(out, "kept");
  EXPECT_EQ(list_.GetItemText(2, 0, out), 1) << "a row past the end reads as empty";
  EXPECT_EQ(out, "");
  list_.SwapItems(1, 1);
  list_.SwapItems(-1, 0);
  list_.SwapItems(0, -1);
  EXPECT_EQ(Texts(), (Rows{"A2*", "B1"}));
}

TEST_F(ControlsTest, ListViewSwapExchangesEveryCellAndMovesTheChecksOnce) {
  AddRows({"B", "C"});
  list_.InsertItem("A", 0, 0, 3);
  ASSERT_EQ(list_.InsertColumn("second", 100, 1, LVCFMT_LEFT), 1);
  char a2[] = "A2";
  ListView_SetItemText(hwnd_, 0, 1, a2);
  list_.SetCheck(0, 1);
  list_.SwapItems(0, 2);
  EXPECT_EQ(Texts(), (Rows{"C1", "B1", "A2"}));
  EXPECT_EQ(Cell(0, 1) + "," + Cell(1, 1) + "," + Cell(2, 1), ",,A2");
  LVITEMA moved{};
  moved.mask = LVIF_IMAGE;
  moved.iItem = 2;
  ListView_GetItem(hwnd_, &moved);
  EXPECT_EQ(moved.iImage, 3);
}

TEST_F(ControlsTest, ListViewMovesCarryTheRowAndTheSelection) {
  AddRows({"A", "B", "C"});
  list_.MoveSelectedUp();
  list_.MoveSelectedDown();
  EXPECT_EQ(Texts(), (Rows{"A1", "B1", "C1"})) << "nothing selected";
  list_.SetCheck(1, 1);
  list_.SelectItem(1);
  list_.MoveSelectedUp();
  EXPECT_EQ(Texts(), (Rows{"B2*", "A1", "C1"}));
  list_.MoveSelectedUp();
  EXPECT_EQ(Texts(), (Rows{"B2*", "A1", "C1"})) << "the first row stays";
  list_.MoveSelectedDown();
  list_.MoveSelectedDown();
  EXPECT_EQ(Texts(), (Rows{"A1", "C1", "B2*"}));
  list_.MoveSelectedDown();
  EXPECT_EQ(Texts(), (Rows{"A1", "C1", "B2*"})) << "the last row stays";
}

}  // namespace
