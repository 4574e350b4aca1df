#include "tests/frontend/dialog_fixture.h"

#include <commctrl.h>

#include "resources/resource.h"
#include "tests/support/pump.h"

void ConverterDialogTest::SetUp() {
  InitCommonControls();
  ASSERT_NE(dialog_.CreateModeless(nullptr, IDD_CONVERTER), nullptr);
  dialog_.Show(SW_SHOW);
  PumpPending();
}

void ConverterDialogTest::TearDown() {
  dialog_.Destroy();
  PumpPending();
}

void ConverterDialogTest::SetText(int id, const std::string& text) {
  SetWindowTextA(Item(id), text.c_str());
}

void ConverterDialogTest::Click(int id) {
  SendMessageA(Dialog(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(Item(id)));
}

int ConverterDialogTest::RowCount() const {
  return static_cast<int>(SendMessageA(Item(IDC_FIELD_LIST), LVM_GETITEMCOUNT, 0, 0));
}

std::string ConverterDialogTest::RowText(int row) const {
  char text[256] = {};
  LVITEMA item{};
  item.iSubItem = 0;
  item.pszText = text;
  item.cchTextMax = sizeof(text);
  SendMessageA(Item(IDC_FIELD_LIST), LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
  return text;
}

bool ConverterDialogTest::RowChecked(int row) const {
  return ListView_GetCheckState(Item(IDC_FIELD_LIST), row) != 0;
}

bool ConverterDialogTest::RowSelected(int row) const {
  return ListView_GetItemState(Item(IDC_FIELD_LIST), row, LVIS_SELECTED) != 0;
}

void ConverterDialogTest::CheckRow(int row) {
  ListView_SetCheckState(Item(IDC_FIELD_LIST), row, TRUE);
}

void ConverterDialogTest::SelectRow(int row) {
  ListView_SetItemState(Item(IDC_FIELD_LIST), row, LVIS_SELECTED, LVIS_SELECTED);
}

void ConverterDialogTest::CheckField(const std::string& name) {
  for (int row = 0; row < RowCount(); ++row) {
    if (RowText(row) == name) return CheckRow(row);
  }
  ADD_FAILURE() << "no row named " << name;
}

void PostKey(HWND target, UINT vk) {
  const LPARAM lParam = MAKELPARAM(1, MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
  PostMessageA(target, WM_KEYDOWN, vk, lParam);
  PostMessageA(target, WM_KEYUP, vk, lParam | 0xC0000000);
}
