#include "frontend/error_text.h"

#include <windows.h>

#include "common/wide_text.h"

size_t WholeCharacterLength(const std::string& text) {
  size_t i = 0;
  while (i < text.size()) {
    if (!IsDBCSLeadByteEx(kShiftJis, static_cast<BYTE>(text[i]))) {
      ++i;
    } else if (i + 1 < text.size()) {
      i += 2;
    } else {
      return i;
    }
  }
  return i;
}

std::string ErrorTextPieces::Add(const char* bytes, size_t count) {
  std::string piece = held_ + std::string(bytes, count);
  held_.clear();
  const size_t nul = piece.find('\0');
  // Text is shown up to its first NUL; what follows it in the same read is not text.
  if (nul != std::string::npos) return piece.substr(0, nul);
  const size_t whole = WholeCharacterLength(piece);
  held_ = piece.substr(whole);
  piece.resize(whole);
  return piece;
}
