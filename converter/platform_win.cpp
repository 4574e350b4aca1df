#include <windows.h>

#include "arguments.h"
#include "common/split_command_line.h"
#include "common/system_message.h"
#include "common/wide_text.h"
#include "file_names.h"
#include "platform.h"
#include "replace_win.h"

namespace tamarack {
namespace {

// ERROR_DIRECTORY_NOT_SUPPORTED, which mingw-w64's headers lack: a folder where a file is named.
constexpr SystemError kErrorIsFolder = 336;

// What a user may have set on an existing output and a replace must keep. Read-only outputs
// are refused before a run; the archive bit is set, as on every file just written.
constexpr DWORD kKeptAttributes =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// The arguments, file names among them, are UTF-8; the system's file names UTF-16.
std::wstring Wide(const std::string& utf8) { return WideFrom(CP_UTF8, utf8); }

// Whether the system removes the file when its last handle closes, also when the process is
// ended from outside: Ctrl+C, End task, a crash.
bool SetDeleteOnClose(HANDLE file, bool remove) {
  FILE_DISPOSITION_INFO disposition{};
  disposition.DeleteFile = remove;
  return SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition) !=
         FALSE;
}

// The name the previous output has while a replace puts the new one in its place, left only
// when the replace fails half-way: the output's own name with ".bak", so that the user
// recognises it, and a number where that is taken. Empty when every such name is.
std::wstring BackupName(const std::wstring& target) {
  for (int i = 1; i < 100; ++i) {
    const std::wstring name = target + (i == 1 ? L"" : L"." + std::to_wstring(i)) + L".bak";
    if (GetFileAttributesW(name.c_str()) == INVALID_FILE_ATTRIBUTES &&
        GetLastError() == ERROR_FILE_NOT_FOUND) {
      return name;
    }
  }
  return std::wstring();
}

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
    case ERROR_UNABLE_TO_REMOVE_REPLACED:
    case ERROR_UNABLE_TO_MOVE_REPLACEMENT:
    case ERROR_UNABLE_TO_MOVE_REPLACEMENT_2:
      return "既存のファイルと置き換えられませんでした";
    default:
      break;
  }
  const std::string reason = SystemMessage(error);
  return "システムエラー " + std::to_string(error) + (reason.empty() ? "" : " (" + reason + ")");
}

std::optional<std::vector<std::string>> ProgramArguments(int, char**) {
  const std::vector<std::wstring> tokens = SplitCommandLine(GetCommandLineW());
  std::vector<std::string> arguments;
  // The first token is the program.
  for (size_t i = 1; i < tokens.size(); ++i) {
    std::string argument;
    if (!Utf8FromWide(tokens[i], argument)) return std::nullopt;
    arguments.push_back(argument);
  }
  return arguments;
}

InputFile::~InputFile() {
  if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
}

SystemError InputFile::Open(const std::string& path) {
  if (NamesDosDevice(path)) return kErrorDeviceName;
  const std::wstring name = Wide(path);
  handle_ = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                        OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (handle_ != INVALID_HANDLE_VALUE) return 0;
  const SystemError error = GetLastError();
  // A folder is refused as a file without permission is.
  const DWORD attributes = GetFileAttributesW(name.c_str());
  if (error == ERROR_ACCESS_DENIED && attributes != INVALID_FILE_ATTRIBUTES &&
      (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return kErrorIsFolder;
  }
  return error;
}

size_t InputFile::Read(char* buffer, size_t size, SystemError& error) {
  for (;;) {
    DWORD read = 0;
    error =
        ReadFile(handle_, buffer, static_cast<DWORD>(size), &read, nullptr) ? 0 : GetLastError();
    // A message longer than the buffer: the next read gives more of it.
    if (error == ERROR_MORE_DATA) error = 0;
    // A pipe whose writer has closed its end, or disconnected it, has ended, as a file does.
    if (error == ERROR_BROKEN_PIPE || error == ERROR_PIPE_NOT_CONNECTED) error = 0;
    // A message-mode pipe hands over an empty message as a read of nothing: the book ends only
    // once the writer has gone, which PeekNamedPipe tells (it fails for anything but a pipe
    // too). The next read waits for the next message.
    if (read > 0 || error != 0 || !PeekNamedPipe(handle_, nullptr, 0, nullptr, nullptr, nullptr)) {
      return read;
    }
  }
}

SystemError InputFile::Rewind() {
  return SetFilePointer(handle_, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER
             ? GetLastError()
             : 0;
}

// A pipe or a device may accept a move of the file pointer and still not give its bytes again.
bool InputFile::CanRewind() const { return GetFileType(handle_) == FILE_TYPE_DISK; }

bool InputFile::IsSameFileAs(const std::string& path) const {
  if (NamesDosDevice(path)) return false;
  // Opened for no access at all, so even a file that others hold open can be identified.
  const HANDLE other =
      CreateFileW(Wide(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
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

OutputFile::~OutputFile() {
  // Until the commit the system removes the file with its last handle.
  if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
}

SystemError OutputFile::Begin(const std::string& path) {
  if (NamesDosDevice(path)) return kErrorDeviceName;
  const std::wstring target = Wide(path);
  const DWORD attributes = GetFileAttributesW(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return kErrorIsFolder;
    if (attributes & FILE_ATTRIBUTE_READONLY) return ERROR_ACCESS_DENIED;
    // The replace needs delete access: a program that holds the file without sharing delete
    // (a spreadsheet that has it open) would make the run fail only at the very end.
    const SystemError error = WaitingOutHolds([&]() -> SystemError {
      const HANDLE probe = CreateFileW(target.c_str(), DELETE,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       nullptr, OPEN_EXISTING, 0, nullptr);
      if (probe == INVALID_HANDLE_VALUE) return GetLastError();
      CloseHandle(probe);
      return 0;
    });
    if (error) return error;
  }
  wchar_t full[MAX_PATH * 2];
  wchar_t* name = nullptr;
  const DWORD length = GetFullPathNameW(target.c_str(), MAX_PATH * 2, full, &name);
  if (length == 0 || length >= MAX_PATH * 2 || name == nullptr) {
    return length == 0 ? GetLastError() : ERROR_FILENAME_EXCED_RANGE;
  }
  // The replace needs the folder of the target, which a bare file name does not show.
  path_.assign(full, length);
  folder_.assign(full, static_cast<size_t>(name - full));
  // With a number given, GetTempFileNameW only composes the name; the number moves on past
  // names that are taken.
  const UINT first = GetCurrentProcessId() + GetTickCount();
  for (UINT i = 0; i < 0xFFFF; ++i) {
    wchar_t temporary[MAX_PATH * 2];
    if (GetTempFileNameW(folder_.c_str(), L"tmk", (first + i) % 0xFFFF + 1, temporary) == 0) {
      return GetLastError();
    }
    handle_ = CreateFileW(temporary, GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle_ != INVALID_HANDLE_VALUE) {
      temporary_ = temporary;
      return SetDeleteOnClose(handle_, true) ? 0 : GetLastError();
    }
    const SystemError error = GetLastError();
    if (error != ERROR_FILE_EXISTS) return error;
  }
  return ERROR_FILE_EXISTS;
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

SystemError OutputFile::Restart() {
  if (SetFilePointer(handle_, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER ||
      !SetEndOfFile(handle_)) {
    return GetLastError();
  }
  return 0;
}

SystemError OutputFile::Commit() {
  if (!FlushFileBuffers(handle_)) return GetLastError();
  WIN32_FILE_ATTRIBUTE_DATA previous{};
  const bool replaces = GetFileAttributesExW(path_.c_str(), GetFileExInfoStandard, &previous);
  // ReplaceFileW keeps the previous output's creation time, but a move over it does not.
  if (replaces) SetFileTime(handle_, &previous.ftCreationTime, nullptr, nullptr);
  // From here the file stays, until it has the target's name or is removed below.
  if (!SetDeleteOnClose(handle_, false)) return GetLastError();
  const HANDLE handle = handle_;
  handle_ = INVALID_HANDLE_VALUE;
  SystemError error = CloseHandle(handle) ? 0 : GetLastError();
  if (error == 0 && !replaces) {
    error = WaitingOutHolds([&]() -> SystemError {
      return MoveFileExW(temporary_.c_str(), path_.c_str(), MOVEFILE_WRITE_THROUGH)
                 ? 0
                 : GetLastError();
    });
  } else if (error == 0) {
    // ReplaceFileW keeps the attributes on Windows; Wine's keeps none, so they are also set here
    // beforehand.
    SetFileAttributesW(temporary_.c_str(),
                       FILE_ATTRIBUTE_ARCHIVE | (previous.dwFileAttributes & kKeptAttributes));
    const std::wstring backup = BackupName(path_);
    error = backup.empty() ? ERROR_FILE_EXISTS : ReplaceOutput(path_, temporary_, backup, left_);
  }
  if (error != 0 && left_.converted.empty() &&
      WaitingOutHolds([&]() -> SystemError {
        return DeleteFileW(temporary_.c_str()) ? 0 : GetLastError();
      }) != 0) {
    left_.temporary = LeftoverName(temporary_);
  }
  temporary_.clear();
  return error;
}

}  // namespace tamarack
