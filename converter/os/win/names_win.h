// File names on Windows as the converter uses them: absolute and in the form that the file
// functions take at any length, and new files under names that no other file has.
#pragma once

#include <windows.h>

#include <string>

#include "files.h"

namespace tamarack {

// The arguments, file names among them, are UTF-8; the system's file names UTF-16.
std::wstring Wide(const std::string& utf8);

// path made absolute (GetFullPathNameW, which a path of any length passes); empty, with the
// reason in error, when the system cannot.
std::wstring FullPath(const std::wstring& path, SystemError& error);

// path made absolute, in the form that the file functions take at any length, past the classic
// limit of MAX_PATH: "\\?\" before a drive's path, "\\?\UNC\" in place of a share's "\\". A path
// in a device's form ("\\.\pipe\…") or already in that form stands as it is.
// Empty, with the reason in error, when the system cannot make it absolute.
std::wstring LongPath(const std::wstring& path, SystemError& error);

// The start of the temporary files' names for the output target (a long path): its folder,
// "tmk" and the hash of its name, so that a later run on the same output recognises them.
std::wstring TemporaryStem(const std::wstring& target);

// A new file named stem, four hexadecimal digits and ".tmp", with access and flags as CreateFileW
// takes them, and shared with no one, so that no other program opens it while this process
// holds it. The number moves on past names that are taken, also by another run that has just
// taken one. INVALID_HANDLE_VALUE, with GetLastError set, on failure.
HANDLE CreateTemporaryFile(const std::wstring& stem, DWORD access, DWORD flags);

// Removes the files named as CreateTemporaryFile names them after stem that no process holds:
// what a run ended from outside at the instant of its commit left.
void RemoveLeftovers(const std::wstring& stem);

}  // namespace tamarack
