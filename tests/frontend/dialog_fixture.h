// The program's main dialog, created for one test, with helpers that drive its controls.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

#include "frontend/converter_dialog.h"
#include "resources/resource.h"
#include "tests/support/message_box_interceptor.h"
#include "tests/support/pump.h"
#include "tests/support/text.h"

class ConverterDialogTest : public testing::Test {
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

  HWND Dialog() const { return dialog_.GetHandle(); }
  HWND Item(int id) const { return GetDlgItem(Dialog(), id); }
  void SetText(int id, const std::string& text) { SetWindowTextA(Item(id), text.c_str()); }
  void Click(int id) {
    SendMessageA(Dialog(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(Item(id)));
  }
  HWND List() const { return Item(IDC_FIELD_LIST); }
  std::string RowText(int row) const {
    char text[64] = {};
    ListView_GetItemText(List(), row, 0, text, sizeof(text));
    return text;
  }
  bool RowChecked(int row) const { return ListView_GetCheckState(List(), row); }
  bool RowSelected(int row) const { return ListView_GetItemState(List(), row, LVIS_SELECTED); }
  void SelectRow(int row) { ListView_SetItemState(List(), row, LVIS_SELECTED, LVIS_SELECTED); }
  void CheckRow(int row) { ListView_SetCheckState(List(), row, TRUE); }

  ConverterDialog dialog_;
};
