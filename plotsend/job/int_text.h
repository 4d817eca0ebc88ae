#pragma once
// Decimal text of an int32, written straight into a caller's buffer: the
// same characters as std::to_chars, without its range checks and calls,
// since the job files format millions of coordinates.
#include <cstdint>
#include <cstring>

namespace plotsend {

// An int32 takes at most 11 characters ("-2147483648").
inline constexpr size_t kMaxInt32Text = 11;

namespace int_text_detail {

inline constexpr char kPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

inline int DigitCount(uint32_t u) {
  if (u < 10) return 1;
  if (u < 100) return 2;
  if (u < 1000) return 3;
  if (u < 10000) return 4;
  if (u < 100000) return 5;
  if (u < 1000000) return 6;
  if (u < 10000000) return 7;
  if (u < 100000000) return 8;
  return u < 1000000000 ? 9 : 10;
}

}  // namespace int_text_detail

// Writes `value` at `p` (which has kMaxInt32Text bytes of room) and returns
// the end of what it wrote.
inline char* PutInt32(char* p, int32_t value) {
  uint32_t u = static_cast<uint32_t>(value);
  if (value < 0) {
    *p++ = '-';
    u = 0u - u;
  }
  char* const end = p + int_text_detail::DigitCount(u);
  char* q = end;
  while (u >= 100) {
    q -= 2;
    std::memcpy(q, int_text_detail::kPairs + 2 * (u % 100), 2);
    u /= 100;
  }
  if (u >= 10) {
    std::memcpy(q - 2, int_text_detail::kPairs + 2 * u, 2);
  } else {
    q[-1] = static_cast<char>('0' + u);
  }
  return end;
}

}  // namespace plotsend
