#include "tests/support/look_alike_files.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "common/wide_text.h"
#include "tests/support/text.h"

LookAlikeFiles::LookAlikeFiles(const std::wstring& folder) : folder_(folder) {
  namespace fs = std::filesystem;
  std::error_code ignored;
  fs::remove_all(folder_, ignored);
  EXPECT_TRUE(fs::create_directories(folder_ + L"a", ignored)) << Utf8(folder_);
  for (const wchar_t* name :
       {L"Café.txt", L"Cafe.txt", L"a¥b.txt", L"a\\b.txt", L"Resume.csv", L"addresses.csvx"}) {
    std::ofstream(fs::path(folder_ + name), std::ios::binary) << "LastName: x\r\n";
    EXPECT_TRUE(fs::exists(folder_ + name)) << Utf8(folder_ + name);
  }
}

LookAlikeFiles::~LookAlikeFiles() {
  std::error_code ignored;
  std::filesystem::remove_all(folder_, ignored);
}

std::string LookAlikeFiles::Folder() const { return Cp932ForDisplay(folder_); }

std::wstring LookAlikeFiles::ShortPath(const std::wstring& name) const {
  const std::wstring path = Path(name);
  const DWORD size = GetShortPathNameW(path.c_str(), nullptr, 0);
  std::wstring shortPath(size, L'\0');
  const DWORD length = GetShortPathNameW(path.c_str(), shortPath.data(), size);
  shortPath.resize(length < size ? length : 0);
  return shortPath;
}
