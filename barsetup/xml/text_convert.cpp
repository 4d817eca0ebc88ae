#include "xml/text_convert.h"

#include <cstring>

#include "common/unicode.h"
#include "xml/encoding_names.h"

namespace barsetup {
namespace {

using plotara::AppendUtf16;
using plotara::NextCodePoint;

bool IsUtf16(int cp) { return cp == kCodePageUtf16 || cp == kCodePageUtf16Be; }
bool IsUtf32(int cp) { return cp == kCodePageUtf32 || cp == kCodePageUtf32Le || cp == kCodePageUtf32Be; }
bool IsBigEndian(int cp) { return cp == kCodePageUtf16Be || cp == kCodePageUtf32Be; }

// Units of a UTF-16 byte string; a trailing odd byte is no unit.
std::u16string UnitsFromBytes(std::string_view bytes, bool bigEndian, bool* loss) {
  std::u16string units(bytes.size() / 2, u'\0');
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  for (size_t i = 0; i < units.size(); ++i) {
    unsigned a = p[2 * i], b = p[2 * i + 1];
    units[i] = static_cast<char16_t>(bigEndian ? (a << 8 | b) : (b << 8 | a));
  }
  if (bytes.size() % 2 != 0) *loss = true;
  return units;
}

void BytesFromUnits(std::u16string_view units, bool bigEndian, std::string& out) {
  out.resize(units.size() * 2);
  for (size_t i = 0; i < units.size(); ++i) {
    auto hi = static_cast<char>(units[i] >> 8), lo = static_cast<char>(units[i] & 0xFF);
    out[2 * i] = bigEndian ? hi : lo;
    out[2 * i + 1] = bigEndian ? lo : hi;
  }
}

void AppendUnit32(std::string& out, uint32_t v, bool bigEndian) {
  char b[4] = {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8 & 0xFF), static_cast<char>(v >> 16 & 0xFF),
               static_cast<char>(v >> 24 & 0xFF)};
  if (bigEndian) {
    std::swap(b[0], b[3]);
    std::swap(b[1], b[2]);
  }
  out.append(b, 4);
}

// One UTF-8 sequence at in[i]; returns its length, 0 when invalid.
size_t DecodeUtf8(std::string_view in, size_t i, uint32_t* cp) {
  const auto* p = reinterpret_cast<const unsigned char*>(in.data());
  size_t n = in.size();
  unsigned c = p[i];
  if (c < 0x80) {
    *cp = c;
    return 1;
  }
  size_t len;
  uint32_t v;
  uint32_t min;
  if (c >= 0xC2 && c <= 0xDF) {
    len = 2, v = c & 0x1F, min = 0x80;
  } else if (c >= 0xE0 && c <= 0xEF) {
    len = 3, v = c & 0x0F, min = 0x800;
  } else if (c >= 0xF0 && c <= 0xF4) {
    len = 4, v = c & 0x07, min = 0x10000;
  } else {
    return 0;
  }
  if (n - i < len) return 0;
  for (size_t k = 1; k < len; ++k) {
    unsigned d = p[i + k];
    if ((d & 0xC0) != 0x80) return 0;
    v = v << 6 | (d & 0x3F);
  }
  if (v < min || v > 0x10FFFF) return 0;
  *cp = v;
  return len;
}

void Utf32ToUtf16(std::string_view in, bool bigEndian, std::u16string& out, bool* loss) {
  const auto* p = reinterpret_cast<const unsigned char*>(in.data());
  size_t units = in.size() / 4;
  out.clear();
  out.reserve(units);
  for (size_t i = 0; i < units; ++i) {
    const unsigned char* u = p + 4 * i;
    uint32_t v = bigEndian ? (uint32_t{u[0]} << 24 | uint32_t{u[1]} << 16 | uint32_t{u[2]} << 8 | u[3])
                           : (uint32_t{u[3]} << 24 | uint32_t{u[2]} << 16 | uint32_t{u[1]} << 8 | u[0]);
    if (v > 0x10FFFF) {
      out.push_back(u'?');
      *loss = true;
    } else {
      AppendUtf16(out, v);
    }
  }
  if (in.size() % 4 != 0) *loss = true;
}

void Utf16ToUtf32(std::u16string_view in, bool bigEndian, std::string& out) {
  out.clear();
  out.reserve(in.size() * 4);
  for (size_t i = 0; i < in.size();) AppendUnit32(out, NextCodePoint(in, &i), bigEndian);
}

// Source bytes in any code page to UTF-16.
ConversionResult ToUnits(int cp, std::string_view in, std::u16string& units, const XmlPlatform& platform) {
  ConversionResult r;
  if (cp == kCodePageUtf8) {
    Utf8ToUtf16(in, units, &r.loss);
  } else if (IsUtf16(cp)) {
    units = UnitsFromBytes(in, IsBigEndian(cp), &r.loss);
  } else if (IsUtf32(cp)) {
    Utf32ToUtf16(in, IsBigEndian(cp), units, &r.loss);
  } else {
    r.ok = platform.ToWide(cp, in, units, &r.loss);
  }
  return r;
}

ConversionResult FromUnits(int cp, std::u16string_view units, std::string& out, const XmlPlatform& platform) {
  ConversionResult r;
  if (cp == kCodePageUtf8) {
    Utf16ToUtf8(units, out);
  } else if (IsUtf16(cp)) {
    BytesFromUnits(units, IsBigEndian(cp), out);
  } else if (IsUtf32(cp)) {
    Utf16ToUtf32(units, IsBigEndian(cp), out);
  } else {
    bool usedDefault = false;
    bool check = RequestsDefaultCharacter(cp);
    r.ok = platform.FromWide(cp, units, out, check, check ? &usedDefault : nullptr);
    r.loss = usedDefault;
  }
  return r;
}

}  // namespace

bool RequestsDefaultCharacter(int cp) {
  switch (cp) {
    case 50220:
    case 50221:
    case 50222:
    case 50225:
    case 50227:
    case 50229:
    case 52936:
    case 54936:
    case 65000:
    case 65001: return false;
    default: return !(cp >= 57002 && cp <= 57011);
  }
}

bool CanConvertCodePage(int cp, const XmlPlatform& platform) {
  if (cp == kCodePageUtf8 || IsUtf16(cp) || IsUtf32(cp)) return true;
  return cp > 0 && platform.SupportsCodePage(cp);
}

void AppendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    char b[2] = {static_cast<char>(0xC0 | cp >> 6), static_cast<char>(0x80 | (cp & 0x3F))};
    out.append(b, 2);
  } else if (cp < 0x10000) {
    char b[3] = {static_cast<char>(0xE0 | cp >> 12), static_cast<char>(0x80 | (cp >> 6 & 0x3F)),
                 static_cast<char>(0x80 | (cp & 0x3F))};
    out.append(b, 3);
  } else {
    char b[4] = {static_cast<char>(0xF0 | cp >> 18), static_cast<char>(0x80 | (cp >> 12 & 0x3F)),
                 static_cast<char>(0x80 | (cp >> 6 & 0x3F)), static_cast<char>(0x80 | (cp & 0x3F))};
    out.append(b, 4);
  }
}

std::string EncodeCodePoint(uint32_t codePoint, int codePage, const XmlPlatform& platform) {
  std::string out;
  if (codePage == kCodePageUtf8) {
    AppendUtf8(out, codePoint);
    return out;
  }
  std::u16string units;
  AppendUtf16(units, codePoint);
  const ConversionResult r = FromUnits(codePage, units, out, platform);
  if (!r.ok || r.loss) out.clear();
  return out;
}

void Utf8ToUtf16(std::string_view in, std::u16string& out, bool* loss) {
  out.clear();
  out.reserve(in.size());
  size_t i = 0;
  while (i < in.size()) {
    auto c = static_cast<unsigned char>(in[i]);
    if (c < 0x80) {
      out.push_back(c);
      ++i;
      continue;
    }
    uint32_t cp = 0;
    size_t len = DecodeUtf8(in, i, &cp);
    if (len == 0) {
      out.push_back(u'\xFFFD');
      *loss = true;
      ++i;
    } else {
      AppendUtf16(out, cp);
      i += len;
    }
  }
}

void Utf16ToUtf8(std::u16string_view in, std::string& out) {
  out.clear();
  out.reserve(in.size() + in.size() / 2);
  for (size_t i = 0; i < in.size();) {
    if (in[i] < 0x80) {
      out.push_back(static_cast<char>(in[i++]));
      continue;
    }
    AppendUtf8(out, NextCodePoint(in, &i));
  }
}

ConversionResult ConvertCodePage(int sourceCp, std::string_view source, int targetCp, std::string& out,
                                 const XmlPlatform& platform) {
  ConversionResult r;
  if (sourceCp == targetCp) {
    out.assign(source);
    return r;
  }
  if (sourceCp == kCodePageUtf8 && IsUtf32(targetCp)) {
    // Each sequence as one unit; an invalid one becomes "?".
    out.clear();
    out.reserve(source.size() * 4);
    size_t i = 0;
    while (i < source.size()) {
      uint32_t cp = 0;
      size_t len = DecodeUtf8(source, i, &cp);
      if (len == 0) {
        cp = '?';
        len = 1;
        r.loss = true;
      }
      AppendUnit32(out, cp, IsBigEndian(targetCp));
      i += len;
    }
    return r;
  }
  std::u16string units;
  r = ToUnits(sourceCp, source, units, platform);
  if (!r.ok) return r;
  ConversionResult w = FromUnits(targetCp, units, out, platform);
  return {w.ok, r.loss || w.loss};
}

ConversionResult ConvertText(std::string_view sourceName, std::string_view source, std::string_view targetName,
                             std::string& out, const XmlPlatform& platform, int textCodePage) {
  int from = sourceName.empty() ? textCodePage : CodePageFromName(sourceName);
  int to = targetName.empty() ? textCodePage : CodePageFromName(targetName);
  if (from == kUnknownCodePage || to == kUnknownCodePage) return {false, false};
  return ConvertCodePage(from, source, to, out, platform);
}

}  // namespace barsetup
