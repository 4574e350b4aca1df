// The program's main dialog, created for one test, with helpers that drive its controls.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "frontend/converter_dialog.h"

class ConverterDialogTest : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  HWND Dialog() const { return dialog_.GetHandle(); }
  HWND Item(int id) const { return GetDlgItem(dialog_.GetHandle(), id); }
  void SetText(int id, const std::string& text);
  void Click(int id);
  // Sends the start button's command, as a click does.
  void Start() { Click(IDOK); }

  int RowCount() const;
  std::string RowText(int row) const;
  bool RowChecked(int row) const;
  bool RowSelected(int row) const;
  void CheckRow(int row);
  void SelectRow(int row);
  // Checks the row whose text is name.
  void CheckField(const std::string& name);

  ConverterDialog dialog_;
};

void PostKey(HWND target, UINT vk);
