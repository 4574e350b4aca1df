#include "io_win.h"

namespace tamarack {
namespace {

// WriteFile takes a 32-bit count.
constexpr size_t kMostInOneWrite = 0x10000000;

}  // namespace

SystemError WriteAll(HANDLE file, const char* data, size_t size, uint64_t* offset) {
  while (size > 0) {
    OVERLAPPED at{};
    if (offset != nullptr) {
      at.Offset = static_cast<DWORD>(*offset);
      at.OffsetHigh = static_cast<DWORD>(*offset >> 32);
    }
    DWORD written = 0;
    const DWORD piece = static_cast<DWORD>(size < kMostInOneWrite ? size : kMostInOneWrite);
    if (!WriteFile(file, data, piece, &written, offset != nullptr ? &at : nullptr)) {
      return GetLastError();
    }
    if (written == 0) return ERROR_WRITE_FAULT;
    data += written;
    size -= written;
    if (offset != nullptr) *offset += written;
  }
  return 0;
}

}  // namespace tamarack
