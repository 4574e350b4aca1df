// Loads of bytes in the order of the text, whatever the processor's byte order.
#pragma once

#include <cstdint>
#include <cstring>

namespace tamarack {

// The bytes at p as a number of Word's size (16 or 32 bits), the first byte lowest, as a
// little-endian processor loads them.
template <typename Word>
Word LoadLittle(const char* p) {
  static_assert(sizeof(Word) == 2 || sizeof(Word) == 4, "16 or 32 bits");
  Word value;
  std::memcpy(&value, p, sizeof value);
#if __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
  if constexpr (sizeof value == 2) {
    value = __builtin_bswap16(value);
  } else {
    value = __builtin_bswap32(value);
  }
#endif
  return value;
}

}  // namespace tamarack
