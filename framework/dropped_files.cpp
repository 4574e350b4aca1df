#include "framework/dropped_files.h"

std::string DroppedFiles::GetPath(UINT index) const {
  const UINT length = DragQueryFileA(drop_, index, nullptr, 0);
  std::string path(length + 1, '\0');
  path.resize(DragQueryFileA(drop_, index, path.data(), length + 1));
  return path;
}

POINT DroppedFiles::GetPoint() const {
  POINT point{};
  DragQueryPoint(drop_, &point);
  return point;
}
