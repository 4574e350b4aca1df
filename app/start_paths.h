// The paths the program is started with: TamarackUI.exe [INPUT [OUTPUT]]. Dropping files on
// the program's icon, a shortcut and "Send to" all start it this way.
#pragma once

#include <string>

// In UTF-16, as the system gives them: whether code page 932 can hold them is the dialog's to
// decide, and a name converted on the way would name another file.
struct StartPaths {
  std::wstring input;
  std::wstring output;
};

// The first two arguments of a raw command line (UTF-16, as GetCommandLineW gives it), split as
// SplitCommandLine does. An empty argument ("") leaves its path empty; further arguments are
// ignored.
StartPaths StartPathsFromCommandLine(const std::wstring& commandLine);

// path made absolute against the current folder now, before the open and save dialogs can move
// that folder; path itself when it is empty or cannot be resolved.
std::wstring FullPathName(const std::wstring& path);
