// The paths the program is started with: TamarackUI.exe [INPUT [OUTPUT]]. Dropping files on
// the program's icon, a shortcut and "Send to" all start it this way.
#pragma once

#include <string>

struct StartPaths {
  std::string input;
  std::string output;
};

// The first two arguments of a raw command line (UTF-16, as GetCommandLineW gives it), split as
// SplitCommandLine does, in code page 932. An empty argument ("") leaves its path empty; further
// arguments are ignored.
StartPaths StartPathsFromCommandLine(const std::wstring& commandLine);

// True when path may fill the output box: it names no existing file, or an existing file whose
// name ends in ".csv" in any case. Two address books dropped together on the icon (or sent
// together) start the program with both: the second must not become the output, which the
// converter would replace.
bool MayBecomeOutput(const std::string& path);

// path made absolute against the current folder now, before the open and save dialogs can move
// that folder; path itself when it is empty or cannot be resolved.
std::string FullPathName(const std::string& path);
