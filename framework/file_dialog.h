// The common open and save dialogs, with settings kept for the object's life.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <string>

// The wide forms of the dialogs: the chosen path comes back as the system holds it, in UTF-16.
// Through the ANSI forms, a character that code page 932 lacks would arrive as a look-alike (é
// as e, ¥ as the backslash), the name of another file.
class FileDialog {
 public:
  // Offers "All files (*.*)" with the default extension "txt".
  FileDialog();
  FileDialog(const FileDialog&) = delete;
  FileDialog& operator=(const FileDialog&) = delete;
  virtual ~FileDialog() = default;

  // Turns a '|'-separated filter text in code page 932 into the system's NUL-separated list,
  // appended to the list built so far. A null or empty text changes nothing.
  void SetFilter(const char* text);
  // Non-zero when the user chose a file; path then holds it, else path is unchanged.
  BOOL ShowOpen(HWND owner, std::wstring& path);
  BOOL ShowSave(HWND owner, std::wstring& path);

 private:
  BOOL Show(HWND owner, std::wstring& path, DWORD flags, BOOL(WINAPI* show)(LPOPENFILENAMEW));

  OPENFILENAMEW settings_;
  std::wstring filterList_;
};
