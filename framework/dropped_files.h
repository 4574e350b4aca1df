// The files of one drop on a window that accepts them (WM_DROPFILES).
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>

// Owns the drop's handle and releases it (DragFinish) when it goes out of scope.
class DroppedFiles {
 public:
  explicit DroppedFiles(HDROP drop) : drop_(drop) {}
  ~DroppedFiles() { DragFinish(drop_); }
  DroppedFiles(const DroppedFiles&) = delete;
  DroppedFiles& operator=(const DroppedFiles&) = delete;

  UINT GetCount() const { return DragQueryFileW(drop_, 0xFFFFFFFF, nullptr, 0); }
  // The full path of file index, at whatever length it has. In UTF-16 as the system holds it:
  // the ANSI form would put look-alikes in place of characters the code page lacks.
  std::wstring GetPath(UINT index) const;
  // Where the files were dropped, in the client coordinates of the window that took them.
  POINT GetPoint() const;

 private:
  HDROP drop_;
};
