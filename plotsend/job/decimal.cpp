#include "job/decimal.h"

namespace plotsend {

int32_t ParseInt32(std::string_view text) {
  bool saturated = false;
  return ParseInt32(text, saturated);
}

int32_t ParseInt32(std::string_view text, bool& saturated) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > int64_t{INT32_MAX} + 1) break;  // already saturated either way
  }
  const int64_t exact = negative ? -value : value;
  const int32_t result = SaturateInt32(exact);
  saturated = result != exact;
  return result;
}

}  // namespace plotsend
