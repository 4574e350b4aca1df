#include <windows.h>

#include "common/wide_text.h"
#include "io_win.h"
#include "names_win.h"
#include "scratch.h"

namespace tamarack {
namespace {

// The value of an environment variable, of any length; empty when it is not set.
std::wstring Environment(const wchar_t* name) {
  std::wstring value;
  for (DWORD size = 0;;) {
    const DWORD length = GetEnvironmentVariableW(name, value.data(), size);
    if (length < size || length == 0) {
      value.resize(length);
      return value;
    }
    value.resize(length);
    size = length;
  }
}

// The folder GetTempPathW names, found the way it finds it (TMP, TEMP, USERPROFILE, else the
// Windows folder), without its limit of MAX_PATH.
std::wstring TemporaryFolder() {
  for (const wchar_t* name : {L"TMP", L"TEMP", L"USERPROFILE"}) {
    const std::wstring folder = Environment(name);
    if (!folder.empty()) return folder;
  }
  std::wstring windows(MAX_PATH, L'\0');
  windows.resize(GetWindowsDirectoryW(windows.data(), MAX_PATH));
  return windows;
}

}  // namespace

SystemError ScratchFile::Create() {
  // Wide names: the folder lies in the user's profile, whose name need not be code page 932.
  SystemError error = 0;
  const std::wstring named = TemporaryFolder();
  Utf8FromWide(named, folder_);
  std::wstring folder = FullPath(named, error);
  if (error) return error;
  if (folder.back() != L'\\') folder += L'\\';
  Utf8FromWide(folder, folder_);
  const std::wstring stem = LongPath(folder, error) + L"tmk";
  if (error) return error;
  // Shared with no one. The system deletes it when its last handle closes, which it does itself
  // when the process ends, however it ends.
  file_.Reset(CreateTemporaryFile(stem, GENERIC_READ | GENERIC_WRITE,
                                  FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE));
  return file_.Valid() ? 0 : GetLastError();
}

SystemError ScratchFile::Append(const char* data, size_t size) {
  return WriteAll(file_.Get(), data, size, &size_);
}

size_t ScratchFile::ReadAt(uint64_t offset, char* buffer, size_t size, SystemError& error) {
  OVERLAPPED at{};
  at.Offset = static_cast<DWORD>(offset);
  at.OffsetHigh = static_cast<DWORD>(offset >> 32);
  DWORD read = 0;
  error = ReadFile(file_.Get(), buffer, static_cast<DWORD>(size), &read, &at) ? 0 : GetLastError();
  if (error == ERROR_HANDLE_EOF) error = 0;
  return read;
}

}  // namespace tamarack
