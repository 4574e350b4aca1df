// Putting a finished output in the place of the previous one on Windows, as a real office
// allows: a virus scanner or an indexer that holds a file for a moment, a share that lets its
// users change files but not their permissions, and a replace that fails half-way.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "platform.h"

namespace tamarack {

// Calls attempt, which returns 0 or an error, again while it fails because another program
// holds a file for a moment (a sharing or lock violation), for up to about two seconds. Returns
// its last result.
SystemError WaitingOutHolds(const std::function<SystemError()>& attempt);

// A file's name as Leftovers gives it: in UTF-8, the form of the arguments.
std::string LeftoverName(const std::wstring& path);

// The ReplaceFileW that ReplaceOutput calls. A test puts a stand-in here that fails as a share
// that refuses permission changes, or a replace that fails half-way, would: Wine's own cannot be
// made to.
using ReplaceFileFunction = BOOL(WINAPI*)(LPCWSTR, LPCWSTR, LPCWSTR, DWORD, LPVOID, LPVOID);
extern ReplaceFileFunction replaceFile;

// Replaces the file target by replacement, through ReplaceFileW with backup as the name the
// previous output has on the way (a name no file has). When that fails before anything has
// moved, a momentary hold is waited out, and a refusal of access (a share that does not let
// its users change permissions, which ReplaceFileW may ask for) is met by moving replacement
// over target instead. When it fails half-way, what each file is called then decides: the
// previous output gets its name back; where it cannot, or it is gone, the replacement takes the
// name if that is free.
// Returns 0 when replacement has target's name. left names, in UTF-8, the previous output when
// it is not back under its own name nor removed, and, after a failure, the replacement when it
// is kept because the previous output could not get its name back.
SystemError ReplaceOutput(const std::wstring& target, const std::wstring& replacement,
                          const std::wstring& backup, Leftovers& left);

}  // namespace tamarack
