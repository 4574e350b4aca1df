#include "framework/file_dialog.h"

#include <algorithm>
#include <cstddef>
#include <vector>

#include "common/wide_text.h"

namespace {

// The record without the members that Windows 2000 added, so that the dialog is the classic
// explorer-style one on every version.
// OPENFILENAME_SIZE_VERSION_400W is that size, but not a constant expression.
#if !defined(_WIN64)
static_assert(offsetof(OPENFILENAMEW, lpTemplateName) + sizeof(LPCWSTR) == 76,
              "the 32-bit record up to lpTemplateName");
#endif

const wchar_t kDefaultFilter[] = L"All files (*.*)\0*.*\0";
const wchar_t kDefaultExtension[] = L"txt";

const DWORD kOpenFlags =
    OFN_HIDEREADONLY | OFN_ENABLEHOOK | OFN_FILEMUSTEXIST | OFN_EXPLORER | OFN_LONGNAMES;
const DWORD kSaveFlags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_ENABLEHOOK |
                         OFN_PATHMUSTEXIST | OFN_EXPLORER | OFN_LONGNAMES;

// The longest path Windows has, so that whatever file the dialog can name fits whole; the buffer
// holds one character more than the dialog may fill, so the name always ends in a NUL.
const DWORD kMaxFile = 32767;

// A hook that leaves every message to the dialog. Its presence is what counts: Windows Vista
// and later show the classic Explorer-style dialog that the flags and the record describe only
// to a caller with a hook (or a template), and the Common Item Dialog to any other.
UINT_PTR CALLBACK ClassicDialogHook(HWND, UINT, WPARAM, LPARAM) { return 0; }

}  // namespace

FileDialog::FileDialog() : settings_{} {
  settings_.lStructSize = OPENFILENAME_SIZE_VERSION_400W;
  settings_.lpstrFilter = kDefaultFilter;
  settings_.lpstrDefExt = kDefaultExtension;
}

void FileDialog::SetFilter(const char* text) {
  if (text == nullptr || lstrlenA(text) <= 0) return;
  const size_t n = static_cast<size_t>(lstrlenA(text));
  // The text and its terminator; a filter list keeps its own NUL behind them, so the list
  // always ends in two NULs.
  std::string piece(text, n + 1);
  std::replace(piece.begin(), piece.begin() + n, '|', '\0');
  filterList_.append(WideFrom(kShiftJis, piece));
  settings_.lpstrFilter = filterList_.c_str();
}

BOOL FileDialog::ShowOpen(HWND owner, std::wstring& path) {
  return Show(owner, path, kOpenFlags, &GetOpenFileNameW);
}

BOOL FileDialog::ShowSave(HWND owner, std::wstring& path) {
  return Show(owner, path, kSaveFlags, &GetSaveFileNameW);
}

BOOL FileDialog::Show(HWND owner, std::wstring& path, DWORD flags,
                      BOOL(WINAPI* show)(LPOPENFILENAMEW)) {
  std::vector<wchar_t> fileName(kMaxFile + 1, L'\0');
  settings_.hwndOwner = owner;
  settings_.lpstrFile = fileName.data();
  settings_.nMaxFile = kMaxFile;
  settings_.Flags = flags;
  settings_.lpfnHook = &ClassicDialogHook;
  settings_.lCustData = reinterpret_cast<LPARAM>(owner);
  const BOOL result = show(&settings_);
  if (result) path = fileName.data();
  settings_.lpstrFile = nullptr;
  return result;
}
