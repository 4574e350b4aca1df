#include "replace_win.h"

#include "common/wide_text.h"

namespace tamarack {
namespace {

// A scanner or an indexer lets go of a file within a second or so.
constexpr ULONGLONG kHoldWaitMs = 2000;
constexpr DWORD kHoldPollMs = 50;

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsHold(SystemError error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

SystemError Move(const std::wstring& from, const std::wstring& to, DWORD flags) {
  return WaitingOutHolds([&]() -> SystemError {
    return MoveFileExW(from.c_str(), to.c_str(), flags | MOVEFILE_WRITE_THROUGH) ? 0
                                                                                 : GetLastError();
  });
}

// After a replace that failed half-way: the previous output under the backup name goes back to
// its own; where it cannot, or it is gone, the replacement takes the name if that is free.
SystemError Settle(const std::wstring& target, const std::wstring& replacement,
                   const std::wstring& backup, SystemError error, Leftovers& left) {
  const bool backedUp = Exists(backup);
  if (backedUp && Move(backup, target, 0) == 0) return error;
  if (backedUp) left.previous = LeftoverName(backup);
  // Moved, into the target's place as far as can be told.
  if (!Exists(replacement)) return Exists(target) ? 0 : error;
  if (!Exists(target) && Move(replacement, target, 0) == 0) return 0;
  // The previous output is not back under its name: the new one is kept as well.
  left.converted = LeftoverName(replacement);
  return error;
}

}  // namespace

ReplaceFileFunction replaceFile = &ReplaceFileW;

std::string LeftoverName(const std::wstring& path) {
  std::string utf8;
  Utf8FromWide(path, utf8);
  return utf8;
}

SystemError WaitingOutHolds(const std::function<SystemError()>& attempt) {
  const ULONGLONG deadline = GetTickCount64() + kHoldWaitMs;
  for (;;) {
    const SystemError error = attempt();
    if (!IsHold(error) || GetTickCount64() >= deadline) return error;
    Sleep(kHoldPollMs);
  }
}

SystemError ReplaceOutput(const std::wstring& target, const std::wstring& replacement,
                          const std::wstring& backup, Leftovers& left) {
  // ACL errors: the previous output's permissions may not be mergeable into the new file by a
  // user who may change files but not permissions.
  const DWORD flags = REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS;
  const ULONGLONG deadline = GetTickCount64() + kHoldWaitMs;
  for (;;) {
    if (replaceFile(target.c_str(), replacement.c_str(), backup.c_str(), flags, nullptr, nullptr)) {
      break;
    }
    const SystemError error = GetLastError();
    if (Exists(backup) || !Exists(target) || !Exists(replacement)) {
      return Settle(target, replacement, backup, error, left);
    }
    // Nothing has moved. ERROR_UNABLE_TO_REMOVE_REPLACED says so too: the previous output was
    // held open.
    if ((IsHold(error) || error == ERROR_UNABLE_TO_REMOVE_REPLACED) &&
        GetTickCount64() < deadline) {
      Sleep(kHoldPollMs);
      continue;
    }
    if (error != ERROR_ACCESS_DENIED) return error;
    // The replacement already carries the attributes and creation time that the previous
    // output had; its permissions are the folder's.
    return Move(replacement, target, MOVEFILE_REPLACE_EXISTING);
  }
  if (WaitingOutHolds(
          [&]() -> SystemError { return DeleteFileW(backup.c_str()) ? 0 : GetLastError(); }) != 0) {
    left.previous = LeftoverName(backup);
  }
  return 0;
}

}  // namespace tamarack
