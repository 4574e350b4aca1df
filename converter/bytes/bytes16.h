// Sixteen bytes at a time, for the converter's scans: SSE2 where the processor has it (every
// x86-64 processor; the 32-bit Windows build is compiled for it), else plain C++ with the same
// results on any processor. Defining TAMARACK_PORTABLE_SCAN (the CMake option of that name)
// takes the plain path on x86 too, so that it is tested where the SSE2 one runs.
#pragma once

#include <cstdint>
#include <cstring>

#if defined(__SSE2__) && !defined(TAMARACK_PORTABLE_SCAN)
#include <emmintrin.h>
#define TAMARACK_SSE2_SCAN 1
#endif

namespace tamarack {

#ifdef TAMARACK_SSE2_SCAN

using Bytes16 = __m128i;

inline Bytes16 Load16(const char* p) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}
// Eight bytes at p in the low half, the high half zero.
inline Bytes16 Load8(const char* p) { return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)); }
inline void Store16(char* p, Bytes16 v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }
inline void Store8(char* p, Bytes16 v) { _mm_storel_epi64(reinterpret_cast<__m128i*>(p), v); }
// The low halves of a and b, a's first.
inline Bytes16 JoinLow(Bytes16 a, Bytes16 b) { return _mm_unpacklo_epi64(a, b); }
inline Bytes16 Splat(char c) { return _mm_set1_epi8(c); }
inline Bytes16 Zero16() { return _mm_setzero_si128(); }
inline Bytes16 Set16(char b0, char b1, char b2, char b3, char b4, char b5, char b6, char b7,
                     char b8, char b9, char b10, char b11, char b12, char b13, char b14, char b15) {
  return _mm_setr_epi8(b0, b1, b2, b3, b4, b5, b6, b7, b8, b9, b10, b11, b12, b13, b14, b15);
}
inline Bytes16 And(Bytes16 a, Bytes16 b) { return _mm_and_si128(a, b); }
inline Bytes16 Or(Bytes16 a, Bytes16 b) { return _mm_or_si128(a, b); }
inline Bytes16 Xor(Bytes16 a, Bytes16 b) { return _mm_xor_si128(a, b); }
// Those bits of b that a does not have.
inline Bytes16 AndNot(Bytes16 a, Bytes16 b) { return _mm_andnot_si128(a, b); }
// 0xFF in each byte where a's equals b's, else 0.
inline Bytes16 Equal(Bytes16 a, Bytes16 b) { return _mm_cmpeq_epi8(a, b); }
// 0xFF in each byte where a's is greater than b's, both taken as signed, else 0.
inline Bytes16 Greater(Bytes16 a, Bytes16 b) { return _mm_cmpgt_epi8(a, b); }
// The smaller of each pair of bytes, taken as unsigned.
inline Bytes16 MinUnsigned(Bytes16 a, Bytes16 b) { return _mm_min_epu8(a, b); }
// Bit k set where byte k has its high bit set.
inline unsigned HighBits(Bytes16 v) { return static_cast<unsigned>(_mm_movemask_epi8(v)); }

#else

// The same operations a byte at a time; compilers turn the loops into the processor's own
// vector instructions where it has them (NEON on ARM64).
struct Bytes16 {
  uint8_t b[16];
};

inline Bytes16 Load16(const char* p) {
  Bytes16 v;
  std::memcpy(v.b, p, 16);
  return v;
}
inline Bytes16 Load8(const char* p) {
  Bytes16 v{};
  std::memcpy(v.b, p, 8);
  return v;
}
inline void Store16(char* p, Bytes16 v) { std::memcpy(p, v.b, 16); }
inline void Store8(char* p, Bytes16 v) { std::memcpy(p, v.b, 8); }
inline Bytes16 JoinLow(Bytes16 a, Bytes16 b) {
  std::memcpy(a.b + 8, b.b, 8);
  return a;
}
inline Bytes16 Splat(char c) {
  Bytes16 v;
  std::memset(v.b, c, 16);
  return v;
}
inline Bytes16 Zero16() { return Bytes16{}; }
inline Bytes16 Set16(char b0, char b1, char b2, char b3, char b4, char b5, char b6, char b7,
                     char b8, char b9, char b10, char b11, char b12, char b13, char b14, char b15) {
  const char bytes[16] = {b0, b1, b2, b3, b4, b5, b6, b7, b8, b9, b10, b11, b12, b13, b14, b15};
  return Load16(bytes);
}

// Each byte of the result from the bytes of a and b at the same place.
template <typename Op>
inline Bytes16 EachByte(Bytes16 a, Bytes16 b, Op op) {
  Bytes16 v;
  for (int k = 0; k < 16; ++k) v.b[k] = static_cast<uint8_t>(op(a.b[k], b.b[k]));
  return v;
}
inline Bytes16 And(Bytes16 a, Bytes16 b) {
  return EachByte(a, b, [](int x, int y) { return x & y; });
}
inline Bytes16 Or(Bytes16 a, Bytes16 b) {
  return EachByte(a, b, [](int x, int y) { return x | y; });
}
inline Bytes16 Xor(Bytes16 a, Bytes16 b) {
  return EachByte(a, b, [](int x, int y) { return x ^ y; });
}
inline Bytes16 AndNot(Bytes16 a, Bytes16 b) {
  return EachByte(a, b, [](int x, int y) { return ~x & y; });
}
inline Bytes16 Equal(Bytes16 a, Bytes16 b) {
  return EachByte(a, b, [](int x, int y) { return x == y ? 0xFF : 0; });
}
inline Bytes16 Greater(Bytes16 a, Bytes16 b) {
  return EachByte(a, b, [](int x, int y) {
    return static_cast<int8_t>(x) > static_cast<int8_t>(y) ? 0xFF : 0;
  });
}
inline Bytes16 MinUnsigned(Bytes16 a, Bytes16 b) {
  return EachByte(a, b, [](int x, int y) { return x < y ? x : y; });
}
inline unsigned HighBits(Bytes16 v) {
  unsigned bits = 0;
  for (int k = 0; k < 16; ++k) bits |= static_cast<unsigned>(v.b[k] >> 7) << k;
  return bits;
}

#endif

}  // namespace tamarack
