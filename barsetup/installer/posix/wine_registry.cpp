#include "installer/posix/wine_registry.h"

#include <vector>

#include "installer/posix/posix_file_system.h"
#include "xml/text_convert.h"

namespace barsetup {
namespace {

std::string Fold(std::string_view text) {
  std::string key(text);
  for (char& c : key) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return key;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

char16_t LetterEscape(char c) {
  switch (c) {
    case 'a': return 7;
    case 'b': return 8;
    case 'e': return 27;
    case 'f': return 12;
    case 'n': return 10;
    case 'r': return 13;
    case 't': return 9;
    case 'v': return 11;
    default: return static_cast<char16_t>(static_cast<unsigned char>(c));
  }
}

// One escape after a backslash at text[at]: appends its unit, returns the
// position after it.
size_t DecodeEscape(std::string_view text, size_t at, std::u16string& units) {
  const char c = text[at];
  if (c == 'x' && at + 1 < text.size() && HexDigit(text[at + 1]) >= 0) {
    unsigned value = 0;
    size_t i = at + 1;
    for (; i < text.size() && i < at + 5 && HexDigit(text[i]) >= 0; ++i) value = value * 16 + HexDigit(text[i]);
    units.push_back(static_cast<char16_t>(value));
    return i;
  }
  if (c >= '0' && c <= '7') {
    unsigned value = 0;
    size_t i = at;
    for (; i < text.size() && i < at + 3 && text[i] >= '0' && text[i] <= '7'; ++i) value = value * 8 + (text[i] - '0');
    units.push_back(static_cast<char16_t>(value));
    return i;
  }
  units.push_back(LetterEscape(c));
  return at + 1;
}

void FlushPlain(std::string& plain, std::u16string& units) {
  if (plain.empty()) return;
  std::u16string part;
  bool loss = false;  // invalid bytes become U+FFFD
  Utf8ToUtf16(plain, part, &loss);
  units += part;
  plain.clear();
}

}  // namespace

size_t DecodeRegistryString(std::string_view text, size_t at, char close, std::string* out) {
  std::u16string units;
  std::string plain;
  while (at < text.size()) {
    const char c = text[at];
    if (c == close) {
      FlushPlain(plain, units);
      Utf16ToUtf8(units, *out);
      return at + 1;
    }
    if (c == '\\' && at + 1 < text.size()) {
      FlushPlain(plain, units);
      at = DecodeEscape(text, at + 1, units);
      continue;
    }
    plain.push_back(c);
    ++at;
  }
  return std::string_view::npos;
}

bool WineRegistry::LoadFile(const std::string& path) {
  std::vector<unsigned char> bytes;
  if (!ReadRegularFile(path, &bytes)) return false;
  Parse(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  return true;
}

void WineRegistry::Parse(std::string_view text) {
  Values* section = nullptr;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty()) continue;
    std::string name;
    if (line[0] == '[') {
      section = DecodeRegistryString(line, 1, ']', &name) == std::string_view::npos ? nullptr : &keys_[Fold(name)];
      continue;
    }
    if (section == nullptr) continue;
    size_t at;
    if (line[0] == '@') {
      at = 1;
    } else if (line[0] == '"') {
      at = DecodeRegistryString(line, 1, '"', &name);
      if (at == std::string_view::npos) continue;
    } else {
      continue;
    }
    if (at >= line.size() || line[at] != '=') continue;
    std::string_view data = line.substr(at + 1);
    if (data.starts_with("str(2):")) data.remove_prefix(7);
    std::string value;
    if (data.starts_with("\"") && DecodeRegistryString(data, 1, '"', &value) != std::string_view::npos) {
      (*section)[Fold(name)] = value;
    }
  }
}

bool WineRegistry::ReadString(const std::string& keyPath, const std::string& valueName, std::string* value) {
  auto key = keys_.find(Fold(keyPath));
  if (key == keys_.end()) return false;
  auto it = key->second.find(Fold(valueName));
  if (it == key->second.end()) return false;
  *value = it->second;
  return true;
}

}  // namespace barsetup
