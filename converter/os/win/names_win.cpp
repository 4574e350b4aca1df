#include "names_win.h"

#include "common/wide_text.h"
#include "file_names.h"

namespace tamarack {
namespace {

constexpr wchar_t kTemporaryEnd[] = L".tmp";
constexpr size_t kNumberDigits = 4;
// Windows refuses a name whose file another run is deleting with ERROR_ACCESS_DENIED, the error
// that a folder which refuses new files gives for every name: after this many such refusals the
// folder is taken to refuse.
constexpr int kDeniedNames = 64;

std::wstring Hex(uint32_t value, size_t digits) {
  std::wstring hex(digits, L'0');
  for (size_t i = digits; i-- > 0; value >>= 4) hex[i] = L"0123456789ABCDEF"[value & 0xF];
  return hex;
}

bool StartsWith(const std::wstring& text, const wchar_t* start) {
  return text.compare(0, wcslen(start), start) == 0;
}

}  // namespace

std::wstring Wide(const std::string& utf8) { return WideFrom(CP_UTF8, utf8); }

std::wstring FullPath(const std::wstring& path, SystemError& error) {
  std::wstring full(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length == 0) {
      error = GetLastError();
      return std::wstring();
    }
    // Too small a buffer gives the size needed, with the final NUL.
    if (length < full.size()) {
      full.resize(length);
      error = 0;
      return full;
    }
    full.resize(length);
  }
}

std::wstring LongPath(const std::wstring& path, SystemError& error) {
  error = 0;
  if (StartsWith(path, L"\\\\?\\") || StartsWith(path, L"\\\\.\\")) return path;
  const std::wstring full = FullPath(path, error);
  if (full.empty() || StartsWith(full, L"\\\\?\\") || StartsWith(full, L"\\\\.\\")) return full;
  if (StartsWith(full, L"\\\\")) return L"\\\\?\\UNC\\" + full.substr(2);
  return L"\\\\?\\" + full;
}

std::wstring TemporaryStem(const std::wstring& target) {
  const size_t slash = target.rfind(L'\\');
  // The same hash for every spelling of the name that Windows takes for it. (Through kernel32:
  // user32's CharUpperBuffW would load user32 into the converter, which costs its start.)
  const std::wstring given = target.substr(slash + 1);
  std::wstring name(given.size(), L'\0');
  LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, given.data(), static_cast<int>(given.size()),
               name.data(), static_cast<int>(name.size()));
  std::string utf8;
  Utf8FromWide(name, utf8);
  return target.substr(0, slash + 1) + L"tmk" + Hex(NameHash(utf8), 8);
}

HANDLE CreateTemporaryFile(const std::wstring& stem, DWORD access, DWORD flags) {
  const uint32_t first = GetCurrentProcessId() + GetTickCount();
  int denied = 0;
  for (uint32_t i = 0; i <= 0xFFFF; ++i) {
    const std::wstring name = stem + Hex(first + i, kNumberDigits) + kTemporaryEnd;
    const HANDLE file = CreateFileW(name.c_str(), access, 0, nullptr, CREATE_NEW, flags, nullptr);
    if (file != INVALID_HANDLE_VALUE) return file;
    const DWORD error = GetLastError();
    if (error == ERROR_ACCESS_DENIED
            ? ++denied == kDeniedNames
            : error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
      SetLastError(error);
      return INVALID_HANDLE_VALUE;
    }
  }
  SetLastError(ERROR_FILE_EXISTS);
  return INVALID_HANDLE_VALUE;
}

void RemoveLeftovers(const std::wstring& stem) {
  const size_t slash = stem.rfind(L'\\');
  const std::wstring folder = stem.substr(0, slash + 1);
  const size_t length = stem.size() - folder.size() + kNumberDigits + wcslen(kTemporaryEnd);
  WIN32_FIND_DATAW found;
  const HANDLE search =
      FindFirstFileW((stem + std::wstring(kNumberDigits, L'?') + kTemporaryEnd).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    // '?' also matches nothing before the dot: the number has all its digits.
    if (wcslen(found.cFileName) != length) continue;
    // Opened shared with no one, which a file that a live run holds refuses; removed when closed.
    const HANDLE leftover =
        CreateFileW((folder + found.cFileName).c_str(), DELETE, 0, nullptr, OPEN_EXISTING,
                    FILE_FLAG_DELETE_ON_CLOSE | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (leftover != INVALID_HANDLE_VALUE) CloseHandle(leftover);
  } while (FindNextFileW(search, &found));
  FindClose(search);
}

}  // namespace tamarack
