// Thin wrappers for the dialog's controls: edit box, check box and the check-box list view.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "framework/window.h"

class Control : public Window {
 public:
  // Binds the control with that id inside parent. 0 only for a null parent: a missing id
  // leaves the object unbound and still answers 1.
  int AttachById(HWND parent, int id);
  HWND GetParentWindow() const;
};

class EditBox : public Control {
 public:
  // Binds, in place of the edit control with that id inside parent, a Unicode one with the same
  // id, styles, place, font and tab position. A dialog from a template of the program's own
  // makes ANSI controls, and an ANSI edit control turns what is typed, pasted or set into its
  // code page at once: a character that the code page lacks becomes a look-alike (Café becomes
  // Cafe), the name of another file. 0 only for a null parent, as AttachById.
  int AttachUnicodeById(HWND parent, int id);
  // The control's whole text; never null, "" when unbound. Valid until the next GetText on this
  // object.
  const char* GetText();
  // The control's whole text in UTF-16; empty when unbound.
  std::wstring GetWideText() const;
  // 0 when unbound or text is null, else the result of SetWindowTextA.
  int SetText(const char* text);
  // 0 when unbound, else the result of SetWindowTextW.
  int SetWideText(const std::wstring& text);
  // The most characters the user may enter; 0 lifts the limit (the control's own is 30,000).
  void SetLimitText(UINT characters);
  void SetReadOnly(bool readOnly);

 private:
  std::string cachedText_;
};

class CheckBox : public Control {
 public:
  // 1 only for the checked state: unbound and indeterminate read as 0.
  int IsChecked() const;
};

// A list view whose rows carry check boxes. Check values: 0 unchecked, 1 checked, -1 none.
class ListView : public Control {
 public:
  int GetItemCount();
  // The first selected row, -1 when none.
  int GetSelectedIndex();
  DWORD GetExtendedStyle();
  // ORs bits into the extended style, keeping the bits already set.
  LRESULT AddExtendedStyle(DWORD bits);
  // 1 when the control inserted the column (the column count then grows), else 0.
  int InsertColumn(const std::string& text, int width, int column, int format);
  // In list mode, the width of every column of rows.
  BOOL SetColumnWidth(int column, int width);
  // The new row's index, -1 on failure. A negative image inserts the row without one.
  int InsertItem(const std::string& text, int row, int subItem, int image);
  // Selects row; 0 when row is not below the row count, else 1.
  int SelectItem(int row);
  // At most 255 bytes of the cell's text into out; 0 for a negative index, else 1.
  int GetItemText(int row, int subItem, std::string& out);
  int GetCheck(int row);
  void SetCheck(int row, int check);
  // Exchanges text (up to 254 bytes) and image of every column, item data and indent of the
  // row, then the check boxes once.
  void SwapItems(int rowA, int rowB);
  // The selected row trades places with its neighbour and stays selected.
  void MoveSelectedUp();
  void MoveSelectedDown();

 private:
  int columnCount_ = 0;
};
