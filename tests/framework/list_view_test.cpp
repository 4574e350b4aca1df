#include "framework/controls.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resources/resource.h"

namespace {

// A message that reached the list view, with the item record it carried (if any).
struct Sent {
  UINT msg;
  WPARAM wParam;
  LVITEMA item;
};
std::vector<Sent> sent;
WNDPROC listProc = nullptr;

// Sits below the wrapper's subclass, so it sees exactly what the wrapper sends.
LRESULT CALLBACK RecordingListProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg >= LVM_FIRST && msg < LVM_FIRST + 0x100) {
    Sent record{msg, wParam, {}};
    if (msg == LVM_INSERTITEMA || msg == LVM_SETITEMSTATE) {
      record.item = *reinterpret_cast<const LVITEMA*>(lParam);
    }
    sent.push_back(record);
  }
  return CallWindowProcA(listProc, hwnd, msg, wParam, lParam);
}

// The list of the program's dialog, bound and set up as the dialog does it.
class ListViewTest : public testing::Test {
 protected:
  void SetUp() override {
    InitCommonControls();
    ASSERT_NE(dialog_.CreateModeless(nullptr, IDD_CONVERTER), nullptr);
    hwnd_ = GetDlgItem(dialog_.GetHandle(), IDC_FIELD_LIST);
    listProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RecordingListProc)));
    ASSERT_EQ(list_.AttachById(dialog_.GetHandle(), IDC_FIELD_LIST), 1);
    sent.clear();
  }
  void TearDown() override { dialog_.Destroy(); }

  void SetUpAsTheDialog() {
    list_.AddExtendedStyle(LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    ASSERT_EQ(list_.InsertColumn("出力項目", 500, 0, LVCFMT_LEFT), 1);
  }
  void AddRows(const std::vector<std::string>& texts) {
    for (const std::string& text : texts) {
      const int row = static_cast<int>(SendMessageA(hwnd_, LVM_GETITEMCOUNT, 0, 0));
      ASSERT_EQ(list_.InsertItem(text, row, 0, -1), row);
    }
    sent.clear();
  }

  // Read straight from the control, not through the wrapper.
  std::string Cell(int row, int column) {
    char buffer[512] = {};
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = buffer;
    item.cchTextMax = sizeof(buffer);
    SendMessageA(hwnd_, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    return buffer;
  }
  std::vector<std::string> Texts() {
    std::vector<std::string> texts;
    const int count = static_cast<int>(SendMessageA(hwnd_, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < count; ++row) texts.push_back(Cell(row, 0));
    return texts;
  }
  // State image index of each row: 1 unchecked, 2 checked.
  std::vector<UINT> StateImages() {
    std::vector<UINT> images;
    const int count = static_cast<int>(SendMessageA(hwnd_, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < count; ++row) {
      images.push_back(
          static_cast<UINT>(SendMessageA(hwnd_, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK)) >> 12);
    }
    return images;
  }
  void SetStateImage(int row, UINT image) {
    LVITEMA item{};
    item.state = INDEXTOSTATEIMAGEMASK(image);
    item.stateMask = LVIS_STATEIMAGEMASK;
    SendMessageA(hwnd_, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
  }
  LVITEMA Item(int row) {
    LVITEMA item{};
    item.mask = LVIF_IMAGE | LVIF_PARAM | LVIF_INDENT;
    item.iItem = row;
    SendMessageA(hwnd_, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    return item;
  }
  void Select(int row) {
    LVITEMA item{};
    item.state = item.stateMask = LVIS_SELECTED;
    SendMessageA(hwnd_, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
  }
  std::vector<LVITEMA> SentItems(UINT msg) {
    std::vector<LVITEMA> items;
    for (const Sent& record : sent) {
      if (record.msg == msg) items.push_back(record.item);
    }
    return items;
  }
  size_t SentCount(UINT msg) { return SentItems(msg).size(); }

  Dialog dialog_;
  HWND hwnd_ = nullptr;
  ListView list_;
};

using Strings = std::vector<std::string>;
using Images = std::vector<UINT>;

TEST_F(ListViewTest, InsertItemSendsAnImageOnlyWhenOneIsGiven) {
  SetUpAsTheDialog();
  EXPECT_EQ(list_.InsertItem("宛先名", 0, 0, -1), 0);
  EXPECT_EQ(list_.InsertItem("表示", 1, 0, 0), 1);
  const std::vector<LVITEMA> inserted = SentItems(LVM_INSERTITEMA);
  ASSERT_EQ(inserted.size(), 2u);
  EXPECT_EQ(inserted[0].mask, static_cast<UINT>(LVIF_TEXT | LVIF_PARAM));
  EXPECT_EQ(inserted[1].mask, static_cast<UINT>(LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM));
  EXPECT_EQ(inserted[1].iImage, 0);
  EXPECT_EQ(Texts(), (Strings{"宛先名", "表示"}));
  // Rows inserted after the check boxes were switched on start unchecked.
  EXPECT_EQ(StateImages(), (Images{1, 1}));
}

TEST_F(ListViewTest, RefusedColumnIsNotCounted) {
  list_.AddExtendedStyle(LVS_EX_CHECKBOXES);
  EXPECT_EQ(list_.InsertColumn("x", 100, -1, LVCFMT_LEFT), 0);
  AddRows({"A", "B"});
  // With no column counted, a swap has nothing to exchange.
  list_.SwapItems(0, 1);
  EXPECT_EQ(Texts(), (Strings{"A", "B"}));
  EXPECT_EQ(SentCount(LVM_SETITEMA), 0u);

  EXPECT_EQ(list_.InsertColumn("x", 100, 0, LVCFMT_LEFT), 1);
  list_.SwapItems(0, 1);
  EXPECT_EQ(Texts(), (Strings{"B", "A"}));
}

TEST_F(ListViewTest, CheckValuesFollowTheStateImage) {
  EXPECT_EQ(list_.GetCheck(0), 0) << "empty list";
  list_.SetCheck(0, 1);
  EXPECT_EQ(SentCount(LVM_SETITEMSTATE), 0u) << "SetCheck on an empty list";

  list_.InsertColumn("x", 100, 0, LVCFMT_LEFT);
  AddRows({"A", "B", "C"});
  EXPECT_EQ(list_.GetCheck(1), -1) << "a row without a check box";

  list_.AddExtendedStyle(LVS_EX_CHECKBOXES);
  EXPECT_EQ(list_.GetCheck(1), 0);
  list_.SetCheck(1, 1);
  EXPECT_EQ(list_.GetCheck(1), 1);
  EXPECT_EQ(StateImages(), (Images{1, 2, 1}));
  list_.SetCheck(1, 0);
  EXPECT_EQ(StateImages(), (Images{1, 1, 1}));
  EXPECT_EQ(list_.GetCheck(-1), 0);
}

TEST_F(ListViewTest, RefusedIndicesChangeNothing) {
  SetUpAsTheDialog();
  AddRows({"A", "B"});
  Select(0);
  sent.clear();
  EXPECT_EQ(list_.SelectItem(2), 0);
  EXPECT_EQ(SentCount(LVM_SETITEMSTATE), 0u);
  EXPECT_EQ(list_.GetSelectedIndex(), 0);

  std::string out = "kept";
  EXPECT_EQ(list_.GetItemText(-1, 0, out), 0);
  EXPECT_EQ(out, "kept");
  EXPECT_EQ(list_.GetItemText(0, -1, out), 0);
  EXPECT_EQ(out, "kept");
  EXPECT_EQ(list_.GetItemText(2, 0, out), 1) << "a row past the end reads as empty";
  EXPECT_EQ(out, "");

  SetStateImage(0, 2);
  list_.SwapItems(1, 1);
  list_.SwapItems(-1, 0);
  list_.SwapItems(0, -1);
  EXPECT_EQ(Texts(), (Strings{"A", "B"}));
  EXPECT_EQ(StateImages(), (Images{2, 1}));
}

TEST_F(ListViewTest, SwapExchangesContentsAndMovesTheChecksOnce) {
  SetUpAsTheDialog();
  AddRows({"A", "B"});
  LVITEMA a{};
  a.mask = LVIF_IMAGE | LVIF_PARAM | LVIF_INDENT;
  a.iItem = 0;
  a.iImage = 3;
  a.lParam = 11;
  a.iIndent = 1;
  SendMessageA(hwnd_, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&a));
  SetStateImage(0, 2);

  list_.SwapItems(0, 1);
  EXPECT_EQ(Texts(), (Strings{"B", "A"}));
  EXPECT_EQ(StateImages(), (Images{1, 2}));
  EXPECT_EQ(Item(1).iImage, 3);
  EXPECT_EQ(Item(1).lParam, 11);
  EXPECT_EQ(Item(1).iIndent, 1);
  EXPECT_EQ(Item(0).lParam, 0);
  EXPECT_EQ(Item(0).iIndent, 0);
}

TEST_F(ListViewTest, SwapWithTwoColumnsExchangesEveryCellAndTheChecksOnce) {
  SetUpAsTheDialog();
  ASSERT_EQ(list_.InsertColumn("second", 100, 1, LVCFMT_LEFT), 1);
  AddRows({"A", "B", "C"});
  for (int row = 0; row < 3; ++row) {
    std::string text = Cell(row, 0) + "2";
    LVITEMA item{};
    item.iSubItem = 1;
    item.pszText = &text[0];
    SendMessageA(hwnd_, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
  }
  SetStateImage(0, 2);

  list_.SwapItems(0, 2);
  EXPECT_EQ(Texts(), (Strings{"C", "B", "A"}));
  EXPECT_EQ(Cell(0, 1), "C2");
  EXPECT_EQ(Cell(1, 1), "B2");
  EXPECT_EQ(Cell(2, 1), "A2");
  EXPECT_EQ(StateImages(), (Images{1, 1, 2}));
}

TEST_F(ListViewTest, MovesCarryTheRowAndTheSelection) {
  SetUpAsTheDialog();
  AddRows({"A", "B", "C"});
  SetStateImage(1, 2);
  Select(1);

  list_.MoveSelectedUp();
  EXPECT_EQ(Texts(), (Strings{"B", "A", "C"}));
  EXPECT_EQ(StateImages(), (Images{2, 1, 1}));
  EXPECT_EQ(list_.GetSelectedIndex(), 0);

  list_.MoveSelectedUp();
  EXPECT_EQ(Texts(), (Strings{"B", "A", "C"})) << "the first row stays";
  EXPECT_EQ(list_.GetSelectedIndex(), 0);

  list_.MoveSelectedDown();
  list_.MoveSelectedDown();
  EXPECT_EQ(Texts(), (Strings{"A", "C", "B"}));
  EXPECT_EQ(StateImages(), (Images{1, 1, 2}));
  EXPECT_EQ(list_.GetSelectedIndex(), 2);

  list_.MoveSelectedDown();
  EXPECT_EQ(Texts(), (Strings{"A", "C", "B"})) << "the last row stays";
  EXPECT_EQ(list_.GetSelectedIndex(), 2);
}

TEST_F(ListViewTest, MovesWithoutASelectionChangeNothing) {
  SetUpAsTheDialog();
  AddRows({"A", "B", "C"});
  list_.MoveSelectedUp();
  list_.MoveSelectedDown();
  EXPECT_EQ(Texts(), (Strings{"A", "B", "C"}));
  EXPECT_EQ(SentCount(LVM_SETITEMA), 0u);
  EXPECT_EQ(list_.GetSelectedIndex(), -1);
}

TEST_F(ListViewTest, AddExtendedStyleKeepsEarlierBits) {
  list_.AddExtendedStyle(LVS_EX_GRIDLINES);
  EXPECT_EQ(list_.AddExtendedStyle(LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT),
            static_cast<LRESULT>(LVS_EX_GRIDLINES));
  EXPECT_EQ(list_.GetExtendedStyle(),
            static_cast<DWORD>(LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT));
}

}  // namespace
