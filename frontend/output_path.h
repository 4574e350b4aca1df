// What may become the output CSV, which the converter replaces: the rule for the paths the
// program is started with and for files dropped on the output box.
#pragma once

#include <string>

// The long form of path (every short 8.3 name replaced by the name it stands for); path itself
// when it names no existing file or cannot be resolved.
std::wstring LongPathName(const std::wstring& path);

// True when path names no existing file, or an existing file whose long name ends in ".csv" in
// any case. The long name decides: "ADDRES~1.CSV" can be the short name of "addresses.csvx".
bool MayBecomeOutput(const std::wstring& path);
