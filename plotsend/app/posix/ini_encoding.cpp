#include "app/posix/ini_encoding.h"

#include <cstdint>

#include "common/unicode.h"

namespace plotsend {
namespace {

constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";

void AppendUtf8(std::string& out, uint32_t cp) {
  const auto byte = [&out](uint32_t b) { out.push_back(static_cast<char>(b)); };
  if (cp < 0x80) {
    byte(cp);
  } else if (cp < 0x800) {
    byte(0xC0 | (cp >> 6));
    byte(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {  // lone surrogates too
    byte(0xE0 | (cp >> 12));
    byte(0x80 | ((cp >> 6) & 0x3F));
    byte(0x80 | (cp & 0x3F));
  } else {
    byte(0xF0 | (cp >> 18));
    byte(0x80 | ((cp >> 12) & 0x3F));
    byte(0x80 | ((cp >> 6) & 0x3F));
    byte(0x80 | (cp & 0x3F));
  }
}

void AppendUnit(std::string& out, uint32_t unit, bool bigEndian) {
  const char high = static_cast<char>(unit >> 8);
  const char low = static_cast<char>(unit & 0xFF);
  out.push_back(bigEndian ? high : low);
  out.push_back(bigEndian ? low : high);
}

// The code point of the UTF-8 sequence at `i` (lone surrogates allowed),
// advancing `i`; U+FFFD and one byte for anything else.
uint32_t NextUtf8CodePoint(std::string_view text, size_t& i) {
  const auto b = [&text](size_t k) { return static_cast<uint8_t>(text[k]); };
  const uint8_t lead = b(i);
  size_t length = 1;
  uint32_t cp = lead;
  uint32_t minimum = 0;
  if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, cp = lead & 0x07u, minimum = 0x10000;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, cp = lead & 0x0Fu, minimum = 0x800;
  } else if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, cp = lead & 0x1Fu, minimum = 0x80;
  } else if (lead >= 0x80) {
    ++i;
    return 0xFFFD;
  }
  if (i + length > text.size()) {
    ++i;
    return 0xFFFD;
  }
  for (size_t k = 1; k < length; ++k) {
    if ((b(i + k) & 0xC0) != 0x80) {
      ++i;
      return 0xFFFD;
    }
    cp = (cp << 6) | (b(i + k) & 0x3Fu);
  }
  if (cp < minimum || cp > 0x10FFFF) {
    ++i;
    return 0xFFFD;
  }
  i += length;
  return cp;
}

}  // namespace

IniFileText DecodeIniFile(std::string_view bytes) {
  IniFileText out;
  if (bytes.starts_with(kUtf16LeMark)) {
    out.encoding = IniFileEncoding::Utf16Le;
  } else if (bytes.starts_with(kUtf16BeMark)) {
    out.encoding = IniFileEncoding::Utf16Be;
  } else {
    out.text = bytes;
    return out;
  }
  const bool bigEndian = out.encoding == IniFileEncoding::Utf16Be;
  bytes.remove_prefix(2);
  if (bytes.size() % 2 != 0) {
    out.trailing = bytes.substr(bytes.size() - 1);
    bytes.remove_suffix(1);
  }
  const auto unit = [&bytes, bigEndian](size_t k) {
    const uint32_t first = static_cast<uint8_t>(bytes[2 * k]);
    const uint32_t second = static_cast<uint8_t>(bytes[2 * k + 1]);
    return bigEndian ? (first << 8 | second) : (second << 8 | first);
  };
  std::u16string units(bytes.size() / 2, u'\0');
  for (size_t k = 0; k < units.size(); ++k) units[k] = static_cast<char16_t>(unit(k));
  out.text.reserve(units.size());
  for (size_t k = 0; k < units.size();) AppendUtf8(out.text, plotara::NextCodePoint(units, &k));
  return out;
}

std::string EncodeIniFile(const IniFileText& original, std::string_view text) {
  if (original.encoding == IniFileEncoding::Bytes) return std::string(text);
  const bool bigEndian = original.encoding == IniFileEncoding::Utf16Be;
  std::string out(bigEndian ? kUtf16BeMark : kUtf16LeMark);
  out.reserve(2 + text.size() * 2 + original.trailing.size());
  std::u16string units;
  for (size_t i = 0; i < text.size();) plotara::AppendUtf16(units, NextUtf8CodePoint(text, i));
  for (const char16_t unit : units) AppendUnit(out, unit, bigEndian);
  out.append(original.trailing);
  return out;
}

}  // namespace plotsend
