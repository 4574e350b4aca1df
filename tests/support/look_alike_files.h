// Files as they come in an office, for the tests of the paths the front-end takes in: names with
// a character that code page 932 lacks, each beside the file that the system's best-fit
// conversion of that name would name instead.
#pragma once

#include <string>

// Creates, in a folder of the test's own, each holding one line of an address book:
//   Café.txt beside Cafe.txt (é becomes e);
//   a¥b.txt beside a folder a holding b.txt (¥, U+00A5, becomes 0x5C, the backslash);
//   Resume.csv, the look-alike of Résumé.csv, which is not made: it is a new output's name;
//   addresses.csvx, whose generated short name ends in .CSV.
// Removes the folder and everything in it when the object goes.
class LookAlikeFiles {
 public:
  // folder ends in a backslash and does not exist yet.
  explicit LookAlikeFiles(const std::wstring& folder);
  ~LookAlikeFiles();
  LookAlikeFiles(const LookAlikeFiles&) = delete;
  LookAlikeFiles& operator=(const LookAlikeFiles&) = delete;

  // The full path of name inside the folder.
  std::wstring Path(const std::wstring& name) const { return folder_ + name; }
  // The folder in code page 932, as a box names it.
  std::string Folder() const;
  // The short (8.3) path of name, as GetShortPathNameW gives it; empty when there is none.
  std::wstring ShortPath(const std::wstring& name) const;

 private:
  std::wstring folder_;
};
