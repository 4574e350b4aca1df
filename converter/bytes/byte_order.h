// Loads of bytes in the order of the text, whatever the processor's byte order: the first byte
// lowest, as a little-endian processor loads it.
#pragma once

#include <cstdint>
#include <cstring>

namespace tamarack {

inline uint16_t LoadLittle16(const char* p) {
  uint16_t value;
  std::memcpy(&value, p, sizeof value);
#if __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
  value = __builtin_bswap16(value);
#endif
  return value;
}

inline uint32_t LoadLittle32(const char* p) {
  uint32_t value;
  std::memcpy(&value, p, sizeof value);
#if __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
  value = __builtin_bswap32(value);
#endif
  return value;
}

}  // namespace tamarack
