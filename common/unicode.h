// UTF-16 surrogate pairs: reading a code point from UTF-16 units and writing
// one as units. A unit that is half of no pair stands for itself, so that
// unpaired surrogates pass through unchanged.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace plotara {

inline constexpr bool IsHighSurrogate(uint32_t u) { return u >= 0xD800 && u <= 0xDBFF; }
inline constexpr bool IsLowSurrogate(uint32_t u) { return u >= 0xDC00 && u <= 0xDFFF; }
inline constexpr bool IsSurrogate(uint32_t u) { return u >= 0xD800 && u <= 0xDFFF; }

// The code point at units[*i], *i moved past it: a pair combined, any
// other unit as it is. *i must be below units.size().
inline uint32_t NextCodePoint(std::u16string_view units, size_t* i) {
  const uint32_t u = units[(*i)++];
  if (IsHighSurrogate(u) && *i < units.size() && IsLowSurrogate(units[*i])) {
    return 0x10000 + ((u - 0xD800) << 10) + (units[(*i)++] - 0xDC00u);
  }
  return u;
}

// Appends a code point up to U+10FFFF: beyond U+FFFF as a pair.
inline void AppendUtf16(std::u16string& out, uint32_t codePoint) {
  if (codePoint >= 0x10000) {
    codePoint -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (codePoint >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF)));
  } else {
    out.push_back(static_cast<char16_t>(codePoint));
  }
}

}  // namespace plotara
