#include <windows.h>

#include "common/wide_text.h"
#include "scratch.h"

namespace tamarack {
namespace {

OVERLAPPED At(uint64_t offset) {
  OVERLAPPED at{};
  at.Offset = static_cast<DWORD>(offset);
  at.OffsetHigh = static_cast<DWORD>(offset >> 32);
  return at;
}

}  // namespace

ScratchFile::~ScratchFile() {
  if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
}

SystemError ScratchFile::Create() {
  // Wide names: the folder lies in the user's profile, whose name need not be code page 932.
  wchar_t folder[MAX_PATH + 1];
  const DWORD length = GetTempPathW(MAX_PATH + 1, folder);
  if (length == 0) return GetLastError();
  if (length > MAX_PATH) return ERROR_FILENAME_EXCED_RANGE;
  Utf8FromWide(std::wstring(folder, length), folder_);
  // With a number given, GetTempFileNameW only composes the name; the number moves on past
  // names that are taken.
  const UINT first = GetCurrentProcessId() + GetTickCount();
  for (UINT i = 0; i < 0xFFFF; ++i) {
    wchar_t name[MAX_PATH];
    if (GetTempFileNameW(folder, L"tmk", (first + i) % 0xFFFF + 1, name) == 0) {
      return GetLastError();
    }
    // Shared with no one. The system deletes it when its last handle closes, which it does
    // itself when the process ends, however it ends.
    handle_ = CreateFileW(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                          FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (handle_ != INVALID_HANDLE_VALUE) return 0;
    const SystemError error = GetLastError();
    if (error != ERROR_FILE_EXISTS) return error;
  }
  return ERROR_FILE_EXISTS;
}

SystemError ScratchFile::Append(const char* data, size_t size) {
  while (size > 0) {
    OVERLAPPED at = At(size_);
    DWORD written = 0;
    const DWORD chunk = static_cast<DWORD>(size < 0x10000000 ? size : 0x10000000);
    if (!WriteFile(handle_, data, chunk, &written, &at)) return GetLastError();
    data += written;
    size -= written;
    size_ += written;
  }
  return 0;
}

size_t ScratchFile::ReadAt(uint64_t offset, char* buffer, size_t size, SystemError& error) {
  OVERLAPPED at = At(offset);
  DWORD read = 0;
  error = ReadFile(handle_, buffer, static_cast<DWORD>(size), &read, &at) ? 0 : GetLastError();
  if (error == ERROR_HANDLE_EOF) error = 0;
  return read;
}

}  // namespace tamarack
