#pragma once
// Conversions into the job's 32-bit integers that saturate instead of
// overflowing: decimal text the way the C runtime's atoi/atol/strtol read it
// (leading blanks, optional sign, digits up to the first other character),
// wide intermediates, doubles and millimetres.
#include <cstdint>
#include <string_view>

namespace plotsend {

// Like atol/strtol(base 10) on a 32-bit long: saturates at INT32_MIN/INT32_MAX.
int32_t ParseInt32(std::string_view text);
// The same, telling whether the value saturated.
int32_t ParseInt32(std::string_view text, bool& saturated);

// Saturating narrowing of a wide intermediate to int32.
constexpr int32_t SaturateInt32(int64_t v) {
  if (v > INT32_MAX) return INT32_MAX;
  if (v < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(v);
}

// Truncation toward zero of a double, saturated; NaN gives 0.
constexpr int32_t TruncToInt32(double v) {
  if (!(v == v)) return 0;
  if (v >= 2147483647.0) return INT32_MAX;
  if (v <= -2147483648.0) return INT32_MIN;
  return static_cast<int32_t>(v);
}

// Millimetres to plotter units: x 40, truncated toward zero.
constexpr int32_t MmToUnits(double mm) { return TruncToInt32(mm * 40.0); }

}  // namespace plotsend
