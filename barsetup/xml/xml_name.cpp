#include "xml/xml_name.h"

#include <iterator>
#include <string>

#include "common/unicode.h"
#include "xml/encoding_names.h"

namespace barsetup {
namespace {

struct Range {
  uint32_t first, last;
};

// NameStartChar beyond ASCII.
constexpr Range kStartRanges[] = {
    {0xC0, 0xD6},     {0xD8, 0xF6},     {0xF8, 0x2FF},    {0x370, 0x37D},   {0x37F, 0x1FFF},  {0x200C, 0x200D},
    {0x2070, 0x218F}, {0x2C00, 0x2FEF}, {0x3001, 0xD7FF}, {0xF900, 0xFDCF}, {0xFDF0, 0xFFFD}, {0x10000, 0xEFFFF},
};

// What NameChar adds to NameStartChar beyond ASCII.
constexpr Range kMoreRanges[] = {{0xB7, 0xB7}, {0x300, 0x36F}, {0x203F, 0x2040}};

bool InRanges(uint32_t c, const Range* ranges, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    if (c >= ranges[i].first && c <= ranges[i].last) return true;
  }
  return false;
}

// One character of strict UTF-8 at name[*i]: no overlong forms, no
// surrogates, nothing above U+10FFFF. 0xFFFFFFFF when invalid.
constexpr uint32_t kInvalid = 0xFFFFFFFFu;

uint32_t NextUtf8(std::string_view s, size_t* i) {
  const auto lead = static_cast<unsigned char>(s[*i]);
  size_t more;
  uint32_t c, min;
  if (lead < 0x80) {
    ++*i;
    return lead;
  } else if ((lead & 0xE0) == 0xC0) {
    more = 1, c = lead & 0x1F, min = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    more = 2, c = lead & 0x0F, min = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    more = 3, c = lead & 0x07, min = 0x10000;
  } else {
    return kInvalid;
  }
  if (s.size() - *i <= more) return kInvalid;
  for (size_t k = 1; k <= more; ++k) {
    const auto b = static_cast<unsigned char>(s[*i + k]);
    if ((b & 0xC0) != 0x80) return kInvalid;
    c = c << 6 | (b & 0x3F);
  }
  if (c < min || c > 0x10FFFF || plotara::IsSurrogate(c)) return kInvalid;
  *i += more + 1;
  return c;
}

// Code points of name in textCodePage, or false when it does not convert
// cleanly.
bool CodePoints(std::string_view name, int textCodePage, const XmlPlatform& platform, std::u32string* out) {
  out->clear();
  if (textCodePage == kCodePageUtf8) {
    for (size_t i = 0; i < name.size();) {
      const uint32_t c = NextUtf8(name, &i);
      if (c == kInvalid) return false;
      out->push_back(c);
    }
    return true;
  }
  std::u16string wide;
  bool lossy = false;
  if (!platform.ToWide(textCodePage, name, wide, &lossy) || lossy) return false;
  for (size_t i = 0; i < wide.size();) {
    const uint32_t c = plotara::NextCodePoint(wide, &i);
    if (plotara::IsSurrogate(c)) return false;  // half of no pair
    out->push_back(c);
  }
  return true;
}

}  // namespace

bool IsNameStartChar(uint32_t c) {
  if (c < 0x80) return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == ':';
  return InRanges(c, kStartRanges, std::size(kStartRanges));
}

bool IsNameChar(uint32_t c) {
  if (c < 0x80) return IsNameStartChar(c) || (c >= '0' && c <= '9') || c == '-' || c == '.';
  return IsNameStartChar(c) || InRanges(c, kMoreRanges, std::size(kMoreRanges));
}

bool IsXmlName(std::string_view name, int textCodePage, const XmlPlatform& platform) {
  if (name.empty()) return false;
  // The document's scans take every byte from 0x80 up for a name byte and
  // stop at ASCII delimiters, so an ASCII byte must be a name character by
  // itself, also as the second byte of a double-byte character.
  bool ascii = true;
  for (char ch : name) {
    const auto b = static_cast<unsigned char>(ch);
    if (b >= 0x80) {
      ascii = false;
    } else if (!IsNameChar(b)) {
      return false;
    }
  }
  if (ascii) return IsNameStartChar(static_cast<unsigned char>(name[0]));
  std::u32string points;
  if (!CodePoints(name, textCodePage, platform, &points) || points.empty()) return false;
  if (!IsNameStartChar(points[0])) return false;
  for (size_t i = 1; i < points.size(); ++i) {
    if (!IsNameChar(points[i])) return false;
  }
  return true;
}

}  // namespace barsetup
