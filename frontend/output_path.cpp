#include "frontend/output_path.h"

#include <windows.h>

namespace {

// False, with name unchanged, when the system cannot resolve path.
bool ResolveLongPathName(const std::wstring& path, std::wstring& name) {
  const DWORD size = GetLongPathNameW(path.c_str(), nullptr, 0);
  if (size == 0) return false;
  std::wstring resolved(size, L'\0');
  const DWORD length = GetLongPathNameW(path.c_str(), resolved.data(), size);
  if (length == 0 || length >= size) return false;
  resolved.resize(length);
  name = resolved;
  return true;
}

}  // namespace

std::wstring LongPathName(const std::wstring& path) {
  std::wstring name = path;
  ResolveLongPathName(path, name);
  return name;
}

bool MayBecomeOutput(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
  }
  std::wstring name;
  // An existing file whose long name cannot be had is refused: its short name proves nothing.
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && ResolveLongPathName(path, name) &&
         name.size() > 4 && lstrcmpiW(name.c_str() + name.size() - 4, L".csv") == 0;
}
