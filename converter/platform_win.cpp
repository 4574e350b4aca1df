#include <windows.h>

#include "arguments.h"
#include "common/system_message.h"
#include "platform.h"

namespace tamarack {
namespace {

// ERROR_DIRECTORY_NOT_SUPPORTED, which mingw-w64's headers lack: the target is a folder.
constexpr SystemError kErrorIsFolder = 336;

}  // namespace

std::string ErrorReason(SystemError error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
      return "ファイルが見つかりません";
    case ERROR_PATH_NOT_FOUND:
    case ERROR_DIRECTORY:
      return "フォルダが見つかりません";
    case ERROR_ACCESS_DENIED:
      return "アクセスが拒否されました（読み取り専用か、権限がありません）";
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return "ほかのプログラムが使用中です";
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return "ディスクの空き容量が足りません";
    case ERROR_WRITE_PROTECT:
      return "書き込み禁止の場所です";
    case ERROR_INVALID_NAME:
      return "ファイル名が正しくありません";
    case ERROR_FILENAME_EXCED_RANGE:
      return "パスが長すぎます";
    case kErrorIsFolder:
      return "ファイルではなくフォルダです";
    default:
      break;
  }
  const std::string reason = SystemMessage(error);
  return "システムエラー " + std::to_string(error) + (reason.empty() ? "" : " (" + reason + ")");
}

std::vector<std::string> ProgramArguments(int, char**) {
  // The C runtime's own splitting treats a backslash before a quote as an escape, which would
  // turn "C:\dir\" into C:\dir" and swallow the following arguments.
  std::vector<std::string> tokens = SplitCommandLine(GetCommandLineA());
  if (!tokens.empty()) tokens.erase(tokens.begin());
  return tokens;
}

InputFile::~InputFile() {
  if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
}

SystemError InputFile::Open(const std::string& path) {
  handle_ = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                        OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  return handle_ == INVALID_HANDLE_VALUE ? GetLastError() : 0;
}

size_t InputFile::Read(char* buffer, size_t size, SystemError& error) {
  DWORD read = 0;
  error = ReadFile(handle_, buffer, static_cast<DWORD>(size), &read, nullptr) ? 0 : GetLastError();
  return read;
}

SystemError InputFile::Rewind() {
  return SetFilePointer(handle_, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER
             ? GetLastError()
             : 0;
}

bool InputFile::IsSameFileAs(const std::string& path) const {
  // Opened for no access at all, so even a file that others hold open can be identified.
  const HANDLE other =
      CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (other == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION mine;
  BY_HANDLE_FILE_INFORMATION theirs;
  const bool same =
      GetFileInformationByHandle(handle_, &mine) && GetFileInformationByHandle(other, &theirs) &&
      mine.dwVolumeSerialNumber == theirs.dwVolumeSerialNumber &&
      mine.nFileIndexHigh == theirs.nFileIndexHigh && mine.nFileIndexLow == theirs.nFileIndexLow;
  CloseHandle(other);
  return same;
}

OutputFile::~OutputFile() { Discard(); }

SystemError OutputFile::Begin(const std::string& path) {
  path_ = path;
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return kErrorIsFolder;
    if (attributes & FILE_ATTRIBUTE_READONLY) return ERROR_ACCESS_DENIED;
    // The replace needs delete access: a program that holds the file without sharing delete
    // (a spreadsheet that has it open) would make the run fail only at the very end.
    const HANDLE probe =
        CreateFileA(path.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (probe == INVALID_HANDLE_VALUE) return GetLastError();
    CloseHandle(probe);
  }
  char full[MAX_PATH * 2];
  char* name = nullptr;
  const DWORD length = GetFullPathNameA(path.c_str(), sizeof full, full, &name);
  if (length == 0 || length >= sizeof full || name == nullptr) {
    return length == 0 ? GetLastError() : ERROR_FILENAME_EXCED_RANGE;
  }
  const std::string folder(full, static_cast<size_t>(name - full));
  char temporary[MAX_PATH * 2];
  if (GetTempFileNameA(folder.c_str(), "tmk", 0, temporary) == 0) return GetLastError();
  temporary_ = temporary;
  handle_ = CreateFileA(temporary, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
  return handle_ == INVALID_HANDLE_VALUE ? GetLastError() : 0;
}

SystemError OutputFile::Write(const char* data, size_t size) {
  while (size > 0) {
    DWORD written = 0;
    const DWORD chunk = static_cast<DWORD>(size < 0x10000000 ? size : 0x10000000);
    if (!WriteFile(handle_, data, chunk, &written, nullptr)) return GetLastError();
    data += written;
    size -= written;
  }
  return 0;
}

SystemError OutputFile::Commit() {
  if (!FlushFileBuffers(handle_)) return GetLastError();
  const HANDLE handle = handle_;
  handle_ = INVALID_HANDLE_VALUE;
  if (!CloseHandle(handle)) return GetLastError();
  if (!MoveFileExA(temporary_.c_str(), path_.c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return GetLastError();
  }
  temporary_.clear();
  return 0;
}

void OutputFile::Discard() {
  if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  handle_ = INVALID_HANDLE_VALUE;
  if (!temporary_.empty()) {
    DeleteFileA(temporary_.c_str());
    temporary_.clear();
  }
}

}  // namespace tamarack
