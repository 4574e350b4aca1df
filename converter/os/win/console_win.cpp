#include <windows.h>

#include <algorithm>

#include "common/wide_text.h"
#include "console.h"
#include "io_win.h"
#include "marked_names.h"

namespace tamarack {
namespace {

// WriteConsoleW takes at most about 64 KB in one call on older Windows.
const size_t kConsoleChunk = 16 * 1024;

// CR LF line ends, as Windows programs end their lines.
std::string WithCrLf(const std::string& text) {
  std::string result;
  result.reserve(text.size() + text.size() / 16);
  for (char c : text) {
    if (c == '\n') result += '\r';
    result += c;
  }
  return result;
}

std::wstring ConsoleText(const std::string& text) {
  std::wstring wide;
  ForEachPiece(text, [&wide](const std::string& piece, bool isName) {
    wide += WideFrom(isName ? CP_UTF8 : kShiftJis, piece);
  });
  return wide;
}

}  // namespace

std::string PipeText(const std::string& text) {
  std::string cp932;
  ForEachPiece(text, [&cp932](const std::string& piece, bool isName) {
    cp932 += isName ? Cp932ForDisplay(WideFrom(CP_UTF8, piece)) : piece;
  });
  return WithCrLf(cp932);
}

SystemError WriteStandardStream(StandardStream stream, const std::string& text) {
  const HANDLE handle =
      GetStdHandle(stream == StandardStream::kOutput ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
  if (text.empty() || handle == nullptr || handle == INVALID_HANDLE_VALUE) return 0;
  DWORD mode = 0;
  if (GetConsoleMode(handle, &mode)) {
    const std::wstring wide = ConsoleText(WithCrLf(text));
    for (size_t done = 0; done < wide.size();) {
      DWORD written = 0;
      const DWORD chunk = static_cast<DWORD>(std::min(kConsoleChunk, wide.size() - done));
      if (!WriteConsoleW(handle, wide.data() + done, chunk, &written, nullptr)) {
        return GetLastError();
      }
      if (written == 0) return ERROR_WRITE_FAULT;
      done += written;
    }
    return 0;
  }
  // A pipe or a file takes the whole text in one write.
  const std::string bytes = PipeText(text);
  return WriteAll(handle, bytes.data(), bytes.size());
}

}  // namespace tamarack
