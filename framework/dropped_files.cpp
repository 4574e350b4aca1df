#include "framework/dropped_files.h"

std::wstring DroppedFiles::GetPath(UINT index) const {
  const UINT length = DragQueryFileW(drop_, index, nullptr, 0);
  std::wstring path(length + 1, L'\0');
  path.resize(DragQueryFileW(drop_, index, path.data(), length + 1));
  return path;
}

POINT DroppedFiles::GetPoint() const {
  POINT point{};
  DragQueryPoint(drop_, &point);
  return point;
}
