#include "framework/controls.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Item data, indent and state belong to the row: the list view refuses them for a subitem, and
// a swap that asked for them would leave the second column's text behind. The dialog's own
// list, with its one column, is moved through the dialog's buttons in the front-end's tests.
TEST(ListViewTest, SwapExchangesTheCellsOfEveryColumnAndMovesTheChecksOnce) {
  InitCommonControls();
  HWND parent = CreateWindowExA(0, "Static", "", WS_POPUP, 0, 0, 200, 200, nullptr, nullptr,
                                nullptr, nullptr);
  HWND hwnd = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | LVS_REPORT, 0, 0, 200, 200, parent,
                              reinterpret_cast<HMENU>(INT_PTR{7}), nullptr, nullptr);
  ListView list;
  list.AttachById(parent, 7);
  list.AddExtendedStyle(LVS_EX_CHECKBOXES);
  list.InsertColumn("first", 100, 0, LVCFMT_LEFT);
  list.InsertColumn("second", 100, 1, LVCFMT_LEFT);
  list.InsertItem("A", 0, 0, -1);
  list.InsertItem("B", 1, 0, -1);
  char a2[] = "A2";
  ListView_SetItemText(hwnd, 0, 1, a2);
  list.SetCheck(0, 1);
  list.SwapItems(0, 1);
  auto cell = [&](int row, int column) {
    std::string text;
    list.GetItemText(row, column, text);
    return text;
  };
  // Each row: its two cells and its check.
  EXPECT_EQ(cell(0, 0) + "/" + cell(0, 1) + "/" + std::to_string(list.GetCheck(0)) + " " +
                cell(1, 0) + "/" + cell(1, 1) + "/" + std::to_string(list.GetCheck(1)),
            "B//0 A/A2/1");
  DestroyWindow(parent);
}

}  // namespace
