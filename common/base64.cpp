#include "common/base64.h"

#include <cstdint>

namespace plotara {

std::string Base64(std::string_view bytes) {
  static constexpr char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  size_t i = 0;
  for (; i + 3 <= bytes.size(); i += 3) {
    const uint32_t v = static_cast<uint32_t>(static_cast<uint8_t>(bytes[i])) << 16 |
                       static_cast<uint32_t>(static_cast<uint8_t>(bytes[i + 1])) << 8 |
                       static_cast<uint8_t>(bytes[i + 2]);
    for (int shift = 18; shift >= 0; shift -= 6) out.push_back(kDigits[(v >> shift) & 0x3F]);
  }
  const size_t rest = bytes.size() - i;
  if (rest != 0) {
    uint32_t v = static_cast<uint32_t>(static_cast<uint8_t>(bytes[i])) << 16;
    if (rest == 2) v |= static_cast<uint32_t>(static_cast<uint8_t>(bytes[i + 1])) << 8;
    out.push_back(kDigits[(v >> 18) & 0x3F]);
    out.push_back(kDigits[(v >> 12) & 0x3F]);
    out.push_back(rest == 2 ? kDigits[(v >> 6) & 0x3F] : '=');
    out.push_back('=');
  }
  return out;
}

}  // namespace plotara
