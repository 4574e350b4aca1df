#include <windows.h>

#include "common/split_command_line.h"
#include "common/system_message.h"
#include "common/wide_text.h"
#include "file_names.h"
#include "files.h"
#include "io_win.h"
#include "names_win.h"
#include "replace_win.h"

namespace tamarack {
namespace {

// ERROR_DIRECTORY_NOT_SUPPORTED, which mingw-w64's headers lack: a folder where a file is named.
constexpr SystemError kErrorIsFolder = 336;

// What a user may have set on an existing output and a replace keeps. Read-only outputs are
// refused; the archive bit is set, as on every file just written.
constexpr DWORD kKeptAttributes =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

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

SystemError InputFile::Open(const std::string& path) {
  if (NamesDosDevice(path)) return kErrorDeviceName;
  SystemError error = 0;
  const std::wstring name = LongPath(Wide(path), error);
  if (error) return error;
  file_.Reset(CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                          OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (file_.Valid()) return 0;
  error = GetLastError();
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
    error = ReadFile(file_.Get(), buffer, static_cast<DWORD>(size), &read, nullptr)
                ? 0
                : GetLastError();
    // A message longer than the buffer: the next read gives more of it.
    if (error == ERROR_MORE_DATA) error = 0;
    // A pipe whose writer has closed its end, or disconnected it, has ended, as a file does.
    if (error == ERROR_BROKEN_PIPE || error == ERROR_PIPE_NOT_CONNECTED) error = 0;
    // A message-mode pipe hands over an empty message as a read of nothing: the book ends only
    // once the writer has gone, which PeekNamedPipe tells (it fails for anything but a pipe
    // too). The next read waits for the next message.
    if (read > 0 || error != 0 ||
        !PeekNamedPipe(file_.Get(), nullptr, 0, nullptr, nullptr, nullptr)) {
      return read;
    }
  }
}

SystemError InputFile::Rewind() {
  return SetFilePointer(file_.Get(), 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER
             ? GetLastError()
             : 0;
}

// A pipe or a device may accept a move of the file pointer and still not give its bytes again.
bool InputFile::CanRewind() const { return GetFileType(file_.Get()) == FILE_TYPE_DISK; }

bool InputFile::IsSameFileAs(const std::string& path) const {
  if (NamesDosDevice(path)) return false;
  SystemError error = 0;
  const std::wstring name = LongPath(Wide(path), error);
  if (error) return false;
  // Opened for no access at all, so even a file that others hold open can be identified.
  const HANDLE other =
      CreateFileW(name.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (other == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION mine;
  BY_HANDLE_FILE_INFORMATION theirs;
  const bool same = GetFileInformationByHandle(file_.Get(), &mine) &&
                    GetFileInformationByHandle(other, &theirs) &&
                    mine.dwVolumeSerialNumber == theirs.dwVolumeSerialNumber &&
                    mine.nFileIndexHigh == theirs.nFileIndexHigh &&
                    mine.nFileIndexLow == theirs.nFileIndexLow;
  CloseHandle(other);
  return same;
}

// Until the commit the system removes the file with its last handle.
OutputFile::~OutputFile() = default;

SystemError OutputFile::Begin(const std::string& path) {
  if (NamesDosDevice(path)) return kErrorDeviceName;
  SystemError error = 0;
  const std::wstring& target = state_.path = LongPath(Wide(path), error);
  if (error) return error;
  const DWORD attributes = GetFileAttributesW(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return kErrorIsFolder;
    if (attributes & FILE_ATTRIBUTE_READONLY) return ERROR_ACCESS_DENIED;
    // The commit renames over the file, which no program may hold then: one that holds it now
    // (a spreadsheet that has it open) would make the run fail only at the very end.
    error = WaitingOutHolds([&target] { return Unheld(target); });
    if (error) return IsHold(error) ? kErrorOutputHeld : error;
  }
  if (target.back() == L'\\') return ERROR_INVALID_NAME;
  const std::wstring stem = TemporaryStem(target);
  RemoveLeftovers(stem);
  state_.file.Reset(CreateTemporaryFile(stem, GENERIC_WRITE | DELETE, FILE_ATTRIBUTE_NORMAL));
  if (!state_.file.Valid()) return GetLastError();
  return SetDeleteOnClose(state_.file.Get(), true) ? 0 : GetLastError();
}

SystemError OutputFile::Write(const char* data, size_t size) {
  return WriteAll(state_.file.Get(), data, size);
}

SystemError OutputFile::Restart() {
  const HANDLE file = state_.file.Get();
  if (SetFilePointer(file, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER ||
      !SetEndOfFile(file)) {
    return GetLastError();
  }
  return 0;
}

SystemError OutputFile::Commit() {
  const HANDLE file = state_.file.Get();
  if (!FlushFileBuffers(file)) return GetLastError();
  WIN32_FILE_ATTRIBUTE_DATA previous{};
  if (GetFileAttributesExW(state_.path.c_str(), GetFileExInfoStandard, &previous)) {
    // Made read-only during the run: its owner wants it kept.
    if (previous.dwFileAttributes & FILE_ATTRIBUTE_READONLY) return ERROR_ACCESS_DENIED;
    // The previous output's creation time, and the attributes a user may have set on it.
    FILE_BASIC_INFO basic{};
    basic.CreationTime.LowPart = previous.ftCreationTime.dwLowDateTime;
    basic.CreationTime.HighPart = static_cast<LONG>(previous.ftCreationTime.dwHighDateTime);
    basic.FileAttributes = FILE_ATTRIBUTE_ARCHIVE | (previous.dwFileAttributes & kKeptAttributes);
    SetFileInformationByHandle(file, FileBasicInfo, &basic, sizeof basic);
  }
  const SystemError error = WaitingOutHolds([&] { return PutInPlace(file, state_.path); });
  // Makes the rename itself durable.
  if (error == 0) FlushFileBuffers(file);
  // Until the rename the system removes the file with its handle.
  state_.file.Reset();
  // The temporary file lay in the folder when the run began.
  if (error == ERROR_PATH_NOT_FOUND) return kErrorFolderGone;
  return IsHold(error) ? kErrorOutputHeld : error;
}

}  // namespace tamarack
