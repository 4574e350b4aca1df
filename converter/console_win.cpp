#include <windows.h>

#include <algorithm>

#include "console.h"

namespace tamarack {
namespace {

const UINT kShiftJis = 932;
// WriteConsoleW takes at most about 64 KB in one call on older Windows.
const size_t kConsoleChunk = 16 * 1024;

// CR LF line ends, as the C runtime's text mode wrote them until now.
std::string WithCrLf(const std::string& text) {
  std::string result;
  result.reserve(text.size() + text.size() / 16);
  for (char c : text) {
    if (c == '\n') result += '\r';
    result += c;
  }
  return result;
}

std::wstring ToWide(const std::string& cp932) {
  const int size = static_cast<int>(cp932.size());
  const int length = MultiByteToWideChar(kShiftJis, 0, cp932.data(), size, nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(kShiftJis, 0, cp932.data(), size, &wide[0], length);
  return wide;
}

}  // namespace

void WriteStandardStream(StandardStream stream, const std::string& text) {
  const HANDLE handle =
      GetStdHandle(stream == StandardStream::kOutput ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
  if (text.empty() || handle == nullptr || handle == INVALID_HANDLE_VALUE) return;
  const std::string bytes = WithCrLf(text);
  DWORD mode = 0;
  if (GetConsoleMode(handle, &mode)) {
    const std::wstring wide = ToWide(bytes);
    for (size_t done = 0; done < wide.size();) {
      DWORD written = 0;
      const DWORD chunk = static_cast<DWORD>(std::min(kConsoleChunk, wide.size() - done));
      if (!WriteConsoleW(handle, wide.data() + done, chunk, &written, nullptr) || written == 0) {
        return;
      }
      done += written;
    }
    return;
  }
  // A pipe or a file takes the whole text in the first write; the loop only guards against a
  // handle that takes less.
  for (size_t done = 0; done < bytes.size();) {
    DWORD written = 0;
    const DWORD size = static_cast<DWORD>(bytes.size() - done);
    if (!WriteFile(handle, bytes.data() + done, size, &written, nullptr) || written == 0) return;
    done += written;
  }
}

}  // namespace tamarack
