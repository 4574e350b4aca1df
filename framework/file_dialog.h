// The common open and save dialogs, with settings kept for the object's life.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <string>

class FileDialog {
 public:
  // Offers "All files (*.*)" with the default extension "txt".
  FileDialog();
  FileDialog(const FileDialog&) = delete;
  FileDialog& operator=(const FileDialog&) = delete;
  virtual ~FileDialog() = default;

  // Turns a '|'-separated filter text into the system's NUL-separated list, appended to the
  // list built so far. A null or empty text changes nothing.
  void SetFilter(const char* text);
  // Non-zero when the user chose a file; path then holds it, else path is unchanged.
  BOOL ShowOpen(HWND owner, std::string& path);
  BOOL ShowSave(HWND owner, std::string& path);

 private:
  BOOL Show(HWND owner, std::string& path, DWORD flags, BOOL(WINAPI* show)(LPOPENFILENAMEA));

  OPENFILENAMEA settings_;
  std::string filterList_;
};

UINT_PTR CALLBACK FileDialogHook(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
