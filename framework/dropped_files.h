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

  UINT GetCount() const { return DragQueryFileA(drop_, 0xFFFFFFFF, nullptr, 0); }
  // The full path of file index in the ANSI code page, at whatever length it has.
  std::string GetPath(UINT index) const;
  // Where the files were dropped, in the client coordinates of the window that took them.
  POINT GetPoint() const;

 private:
  HDROP drop_;
};
