#pragma once
// Decimal text to integers the way the C runtime's atoi/atol/strtol read it
// (leading blanks, optional sign, digits up to the first other character),
// except that overflow saturates instead of being undefined.
#include <cstdint>
#include <string_view>

namespace plotsend {

// Like atol/strtol(base 10) on a 32-bit long: saturates at INT32_MIN/INT32_MAX.
int32_t ParseInt32(std::string_view text);

// Saturating narrowing of a wide intermediate to int32.
constexpr int32_t SaturateInt32(int64_t v) {
  if (v > INT32_MAX) return INT32_MAX;
  if (v < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(v);
}

}  // namespace plotsend
