#include <windows.h>

#include <algorithm>

#include "common/wide_text.h"
#include "console.h"

namespace tamarack {
namespace {

const UINT kShiftJis = 932;
// WriteConsoleW takes at most about 64 KB in one call on older Windows.
const size_t kConsoleChunk = 16 * 1024;

// Around a name in UTF-8 inside the code page 932 text. No file name holds a control character,
// and MessageName replaces those of other arguments.
const char kNameStart = '\x01';
const char kNameEnd = '\x02';

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

// Calls take(piece, isName) for each piece of text in order: code page 932 text, or a marked
// name in UTF-8.
template <typename Take>
void ForEachPiece(const std::string& text, Take take) {
  size_t at = 0;
  while (at < text.size()) {
    const size_t start = text.find(kNameStart, at);
    take(text.substr(at, start - at), false);
    if (start == std::string::npos) return;
    const size_t end = text.find(kNameEnd, start);
    take(text.substr(start + 1, end - start - 1), true);
    if (end == std::string::npos) return;
    at = end + 1;
  }
}

std::wstring ConsoleText(const std::string& text) {
  std::wstring wide;
  ForEachPiece(text, [&wide](const std::string& piece, bool isName) {
    wide += WideFrom(isName ? CP_UTF8 : kShiftJis, piece);
  });
  return wide;
}

}  // namespace

std::string MessageName(const std::string& name) {
  const auto isControl = [](char c) { return static_cast<unsigned char>(c) < 0x20; };
  std::string cp932;
  if (std::none_of(name.begin(), name.end(), isControl) &&
      Cp932FromWideExactly(WideFrom(CP_UTF8, name), cp932)) {
    return cp932;
  }
  std::string marked = name;
  std::replace_if(marked.begin(), marked.end(), isControl, '?');
  return kNameStart + marked + kNameEnd;
}

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
  // A pipe or a file takes the whole text in the first write; the loop only guards against a
  // handle that takes less.
  const std::string bytes = PipeText(text);
  for (size_t done = 0; done < bytes.size();) {
    DWORD written = 0;
    const DWORD size = static_cast<DWORD>(bytes.size() - done);
    if (!WriteFile(handle, bytes.data() + done, size, &written, nullptr)) return GetLastError();
    if (written == 0) return ERROR_WRITE_FAULT;
    done += written;
  }
  return 0;
}

}  // namespace tamarack
