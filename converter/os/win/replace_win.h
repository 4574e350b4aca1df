// Putting a finished output in the place of the previous one on Windows in one step, as a real
// office allows: a virus scanner or an indexer that holds the file for a moment is waited out,
// and the name holds the previous file or the whole new one at every instant.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "files.h"

namespace tamarack {

// Whether the system removes the file when its last handle closes, also when the process is
// ended from outside: Ctrl+C, End task, a crash.
bool SetDeleteOnClose(HANDLE file, bool remove);

// A sharing or a lock violation: another program holds the file.
bool IsHold(SystemError error);

// Calls attempt, which returns 0 or an error, again while it fails because another program
// holds a file for a moment, for up to about two seconds. Returns its last result.
SystemError WaitingOutHolds(const std::function<SystemError()>& attempt);

// 0 when no other program has the file at path open, or there is no such file; a sharing
// violation when one has. Windows refuses to rename over a file that is open, whatever its
// holder shares.
SystemError Unheld(const std::wstring& path);

// The SetFileInformationByHandle through which PutInPlace renames. A test puts a stand-in here
// that ends the process at that instant.
using SetFileInformationFunction = BOOL(WINAPI*)(HANDLE, FILE_INFO_BY_HANDLE_CLASS, LPVOID, DWORD);
extern SetFileInformationFunction renameByHandle;

// Gives file, which the system removes when it is closed, the name target, replacing the file
// that has it, in one step. The file stays when closed only from just before that step; when
// the step fails, the system removes it again. Nothing moves while another program holds
// target: that fails as a hold. Returns 0 when file has target's name; from then on the
// console's Ctrl+C, Ctrl+Break and close change nothing.
SystemError PutInPlace(HANDLE file, const std::wstring& target);

}  // namespace tamarack
