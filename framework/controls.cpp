#include "framework/controls.h"

#include <array>

namespace {

const UINT kCheckStateMask = LVIS_STATEIMAGEMASK;
const UINT kSelectionStateMask = LVIS_FOCUSED | LVIS_SELECTED | LVIS_CUT | LVIS_DROPHILITED;
const UINT kSwapMask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | LVIF_STATE | LVIF_INDENT;
// Item data, indent and state belong to the row: the control refuses LVM_SETITEMA for a
// subitem whose mask names them, and the cell's text would stay behind.
const UINT kSubItemSwapMask = LVIF_TEXT | LVIF_IMAGE;

}  // namespace

int Control::AttachById(HWND parent, int id) {
  if (parent == nullptr) return 0;
  Attach(GetDlgItem(parent, id));
  return 1;
}

HWND Control::GetParentWindow() const { return GetParent(GetHandle()); }

int EditBox::AttachUnicodeById(HWND parent, int id) {
  if (parent == nullptr) return 0;
  const HWND ansi = GetDlgItem(parent, id);
  if (ansi == nullptr) return 1;
  RECT place{};
  GetWindowRect(ansi, &place);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&place), 2);
  const HWND wide = CreateWindowExW(
      static_cast<DWORD>(GetWindowLongPtrW(ansi, GWL_EXSTYLE)), L"Edit", L"",
      static_cast<DWORD>(GetWindowLongPtrW(ansi, GWL_STYLE)), place.left, place.top,
      place.right - place.left, place.bottom - place.top, parent,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
      reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(ansi, GWLP_HINSTANCE)), nullptr);
  if (wide == nullptr) return Attach(ansi);
  SendMessageW(wide, WM_SETFONT, SendMessageW(ansi, WM_GETFONT, 0, 0), FALSE);
  // Right behind the ANSI control in the order of the siblings, which is the tab order.
  SetWindowPos(wide, ansi, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  DestroyWindow(ansi);
  Attach(wide);
  return 1;
}

const char* EditBox::GetText() {
  if (GetHandle() == nullptr) return "";
  const int length = GetWindowTextLengthA(GetHandle());
  std::string buffer(static_cast<size_t>(length) + 1, '\0');
  GetWindowTextA(GetHandle(), buffer.data(), length + 1);
  cachedText_ = buffer.c_str();
  return cachedText_.c_str();
}

std::wstring EditBox::GetWideText() const {
  if (GetHandle() == nullptr) return std::wstring();
  const int length = GetWindowTextLengthW(GetHandle());
  std::wstring buffer(static_cast<size_t>(length) + 1, L'\0');
  buffer.resize(static_cast<size_t>(GetWindowTextW(GetHandle(), buffer.data(), length + 1)));
  return buffer;
}

int EditBox::SetText(const char* text) {
  if (GetHandle() == nullptr || text == nullptr) return 0;
  return SetWindowTextA(GetHandle(), text);
}

int EditBox::SetWideText(const std::wstring& text) {
  if (GetHandle() == nullptr) return 0;
  return SetWindowTextW(GetHandle(), text.c_str());
}

void EditBox::SetLimitText(UINT characters) { SendMessage(EM_SETLIMITTEXT, characters, 0); }

void EditBox::SetReadOnly(bool readOnly) { SendMessage(EM_SETREADONLY, readOnly, 0); }

int CheckBox::IsChecked() const {
  if (GetHandle() == nullptr) return 0;
  return IsDlgButtonChecked(GetParentWindow(), GetControlId()) == BST_CHECKED ? 1 : 0;
}

int ListView::GetItemCount() { return static_cast<int>(SendMessage(LVM_GETITEMCOUNT, 0, 0)); }

int ListView::GetSelectedIndex() {
  return static_cast<int>(SendMessage(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

DWORD ListView::GetExtendedStyle() {
  return static_cast<DWORD>(SendMessage(LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
}

LRESULT ListView::AddExtendedStyle(DWORD bits) {
  return SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, GetExtendedStyle() | bits);
}

int ListView::InsertColumn(const std::string& text, int width, int column, int format) {
  LVCOLUMNA col{};
  col.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
  col.fmt = format;
  col.cx = width;
  col.pszText = const_cast<char*>(text.c_str());
  col.iSubItem = column;
  if (SendMessage(LVM_INSERTCOLUMNA, column, reinterpret_cast<LPARAM>(&col)) == -1) return 0;
  ++columnCount_;
  return 1;
}

BOOL ListView::SetColumnWidth(int column, int width) {
  return static_cast<BOOL>(SendMessage(LVM_SETCOLUMNWIDTH, column, MAKELPARAM(width, 0)));
}

int ListView::InsertItem(const std::string& text, int row, int subItem, int image) {
  LVITEMA item{};
  item.mask = image < 0 ? LVIF_TEXT | LVIF_PARAM : LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
  item.iItem = row;
  item.iSubItem = subItem;
  item.pszText = const_cast<char*>(text.c_str());
  item.cchTextMax = 256;
  item.iImage = image;
  return static_cast<int>(SendMessage(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

int ListView::SelectItem(int row) {
  if (row >= GetItemCount()) return 0;
  LVITEMA item{};
  item.state = LVIS_SELECTED;
  item.stateMask = kSelectionStateMask;
  SendMessage(LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
  return 1;
}

int ListView::GetItemText(int row, int subItem, std::string& out) {
  if (row < 0 || subItem < 0) return 0;
  std::array<char, 256> buffer{};
  LVITEMA item{};
  item.iSubItem = subItem;
  item.pszText = buffer.data();
  item.cchTextMax = static_cast<int>(buffer.size());
  SendMessage(LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
  buffer.back() = '\0';
  out = buffer.data();
  return 1;
}

int ListView::GetCheck(int row) {
  if (GetItemCount() <= 0 || row < 0) return 0;
  auto state = static_cast<UINT>(SendMessage(LVM_GETITEMSTATE, row, kCheckStateMask));
  return static_cast<int>(state >> 12) - 1;
}

void ListView::SetCheck(int row, int check) {
  if (GetItemCount() <= 0 || row < 0) return;
  LVITEMA item{};
  item.state = static_cast<UINT>(check + 1) << 12;
  item.stateMask = kCheckStateMask;
  SendMessage(LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

void ListView::SwapItems(int rowA, int rowB) {
  if (rowA < 0 || rowB < 0 || rowA == rowB || columnCount_ <= 0) return;
  std::array<char, 256> textA{}, textB{};
  LVITEMA a{}, b{};
  const int checkA = GetCheck(rowA);
  const int checkB = GetCheck(rowB);
  for (int column = 0; column < columnCount_; ++column) {
    // LVM_GETITEMA may point pszText at the control's own copy: hand it our buffers afresh.
    a.pszText = textA.data();
    b.pszText = textB.data();
    a.cchTextMax = b.cchTextMax = 255;
    a.mask = b.mask = column == 0 ? kSwapMask : kSubItemSwapMask;
    a.iItem = rowA;
    b.iItem = rowB;
    a.iSubItem = b.iSubItem = column;
    SendMessage(LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&a));
    SendMessage(LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&b));
    a.iItem = rowB;
    b.iItem = rowA;
    SendMessage(LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&a));
    SendMessage(LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&b));
  }
  // stateMask 0 kept the check boxes in place: they change places here, once.
  SetCheck(rowB, checkA);
  SetCheck(rowA, checkB);
}

void ListView::MoveSelectedUp() {
  const int selected = GetSelectedIndex();
  if (selected <= 0) return;
  SwapItems(selected, selected - 1);
  SelectItem(selected - 1);
}

void ListView::MoveSelectedDown() {
  const int selected = GetSelectedIndex();
  if (selected < 0 || selected >= GetItemCount() - 1) return;
  SwapItems(selected, selected + 1);
  SelectItem(selected + 1);
}
