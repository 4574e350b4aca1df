#include <windows.h>

#include "arguments.h"
#include "common/split_command_line.h"
#include "common/system_message.h"
#include "platform.h"

namespace tamarack {
namespace {

// ERROR_DIRECTORY_NOT_SUPPORTED, which mingw-w64's headers lack: the target is a folder.
constexpr SystemError kErrorIsFolder = 336;

// What a user may have set on an existing output and a replace must keep. Read-only outputs
// are refused before a run; the archive bit is set, as on every file just written.
constexpr DWORD kKeptAttributes =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// The temporary output file of this process, removed by the console control handler when the
// run is interrupted (Ctrl+C, Ctrl+Break, the console closed). The handler runs on a thread of
// its own: the lock keeps it from reading a name half written, and from deleting the file
// while it is being put in place.
SRWLOCK gTemporaryLock = SRWLOCK_INIT;
char gTemporary[MAX_PATH * 2];

class TemporaryLock {
 public:
  TemporaryLock() { AcquireSRWLockExclusive(&gTemporaryLock); }
  ~TemporaryLock() { ReleaseSRWLockExclusive(&gTemporaryLock); }
  TemporaryLock(const TemporaryLock&) = delete;
  TemporaryLock& operator=(const TemporaryLock&) = delete;
};

BOOL WINAPI RemoveTemporary(DWORD) {
  TemporaryLock lock;
  // Open for writing but shared for deletion: the name goes now, or when the process has
  // ended a moment later, as the file system allows.
  if (gTemporary[0] != '\0') DeleteFileA(gTemporary);
  gTemporary[0] = '\0';
  // Not handled here: the next handler, the system's, ends the process.
  return FALSE;
}

void SetTemporary(const char* path) {
  {
    TemporaryLock lock;
    lstrcpynA(gTemporary, path, sizeof gTemporary);
  }
  static const bool installed = SetConsoleCtrlHandler(RemoveTemporary, TRUE) != FALSE;
  static_cast<void>(installed);
}

// A name in folder that no file has now.
std::string UnusedName(const std::string& folder) {
  const UINT first = GetCurrentProcessId() + GetTickCount();
  for (UINT i = 0; i < 0xFFFF; ++i) {
    char name[MAX_PATH * 2];
    if (GetTempFileNameA(folder.c_str(), "tmk", (first + i) % 0xFFFF + 1, name) == 0) return "";
    if (GetFileAttributesA(name) == INVALID_FILE_ATTRIBUTES &&
        GetLastError() == ERROR_FILE_NOT_FOUND) {
      return name;
    }
  }
  return "";
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
  // A pipe whose writer has closed its end: the book's end.
  if (error == ERROR_BROKEN_PIPE) error = 0;
  return read;
}

SystemError InputFile::Rewind() {
  return SetFilePointer(handle_, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER
             ? GetLastError()
             : 0;
}

// A pipe or a device may accept a move of the file pointer and still not give its bytes again.
bool InputFile::CanRewind() const { return GetFileType(handle_) == FILE_TYPE_DISK; }

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
  // ReplaceFileA needs the folder of the target, which a bare file name does not show.
  path_.assign(full, length);
  folder_.assign(full, static_cast<size_t>(name - full));
  // The name is recorded for the console control handler before the file exists, so that an
  // interrupt never misses it. With a number given, GetTempFileNameA only composes the name;
  // the number moves on past names that are taken.
  const UINT first = GetCurrentProcessId() + GetTickCount();
  for (UINT i = 0; i < 0xFFFF; ++i) {
    char temporary[MAX_PATH * 2];
    if (GetTempFileNameA(folder_.c_str(), "tmk", (first + i) % 0xFFFF + 1, temporary) == 0) {
      return GetLastError();
    }
    SetTemporary(temporary);
    // Shared for deletion, so that the console control handler can remove it while it is open.
    handle_ = CreateFileA(temporary, GENERIC_WRITE, FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle_ != INVALID_HANDLE_VALUE) {
      temporary_ = temporary;
      return 0;
    }
    const SystemError error = GetLastError();
    SetTemporary("");
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
  const HANDLE handle = handle_;
  handle_ = INVALID_HANDLE_VALUE;
  if (!CloseHandle(handle)) return GetLastError();
  TemporaryLock lock;
  const DWORD attributes = GetFileAttributesA(path_.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    if (!MoveFileExA(temporary_.c_str(), path_.c_str(), MOVEFILE_WRITE_THROUGH)) {
      return GetLastError();
    }
  } else {
    // ReplaceFileA keeps the target's attributes, security and creation time on Windows. Wine's
    // keeps none of them, so the attributes are also set here beforehand.
    SetFileAttributesA(temporary_.c_str(), FILE_ATTRIBUTE_ARCHIVE | (attributes & kKeptAttributes));
    const SystemError error = Replace();
    if (error) return error;
  }
  temporary_.clear();
  gTemporary[0] = '\0';
  return 0;
}

SystemError OutputFile::Replace() {
  // With a backup name, a replace that fails half-way leaves the previous output under that
  // name instead of removing it (ERROR_UNABLE_TO_MOVE_REPLACEMENT_2).
  const std::string backup = UnusedName(folder_);
  if (backup.empty()) return ERROR_FILE_EXISTS;
  // An ACL that cannot be merged (no right to change permissions) must not fail the run.
  if (ReplaceFileA(path_.c_str(), temporary_.c_str(), backup.c_str(),
                   REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
    DeleteFileA(backup.c_str());
    return 0;
  }
  const SystemError error = GetLastError();
  const FailedReplace left = SettleFailedReplace(path_, temporary_, backup);
  if (left.newInPlace) return 0;
  previousKeptAs_ = left.previousKeptAs;
  newKeptAs_ = left.newKeptAs;
  // A new file kept under its temporary name is the user's now: not removed with the rest.
  if (!newKeptAs_.empty()) {
    temporary_.clear();
    gTemporary[0] = '\0';
  }
  return error;
}

FailedReplace SettleFailedReplace(const std::string& target, const std::string& replacement,
                                  const std::string& backup) {
  FailedReplace left;
  if (GetFileAttributesA(backup.c_str()) != INVALID_FILE_ATTRIBUTES) {
    // The previous output has the backup name: back to its own, unless that is taken now.
    if (!MoveFileExA(backup.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH)) {
      left.previousKeptAs = backup;
    }
  } else if (GetFileAttributesA(target.c_str()) == INVALID_FILE_ATTRIBUTES) {
    // The previous output is gone: the new one takes its place, or keeps its own name.
    left.newInPlace =
        MoveFileExA(replacement.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH) != FALSE;
    if (!left.newInPlace) left.newKeptAs = replacement;
  }
  return left;
}

void OutputFile::Discard() {
  if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  handle_ = INVALID_HANDLE_VALUE;
  if (!temporary_.empty()) {
    TemporaryLock lock;
    DeleteFileA(temporary_.c_str());
    temporary_.clear();
    gTemporary[0] = '\0';
  }
}

}  // namespace tamarack
