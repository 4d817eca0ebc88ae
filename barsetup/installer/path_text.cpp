#include "installer/path_text.h"

namespace barsetup {
namespace {

bool IsContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

size_t Utf16Length(std::string_view text) {
  size_t units = 0;
  for (char c : text) {
    const auto b = static_cast<unsigned char>(c);
    if (IsContinuation(c)) continue;
    units += b >= 0xF0 ? 2 : 1;  // four-byte forms need a surrogate pair
  }
  return units;
}

bool FitsPathBuffer(std::string_view text) { return Utf16Length(text) < kPathBufferUnits; }

size_t CharacterCount(std::string_view text) {
  size_t count = 0;
  for (char c : text) count += IsContinuation(c) ? 0 : 1;
  return count;
}

std::string DropLastCharacters(std::string_view text, size_t count) {
  size_t end = text.size();
  while (count > 0 && end > 0) {
    --end;
    if (!IsContinuation(text[end])) --count;
  }
  return count > 0 ? std::string() : std::string(text.substr(0, end));
}

bool IsFullWindowsPath(std::string_view text) {
  const auto isSeparator = [](char c) { return c == '\\' || c == '/'; };
  const char first = LowerAscii(text.empty() ? '\0' : text[0]);
  if (first >= 'a' && first <= 'z') return text.size() >= 3 && text[1] == ':' && isSeparator(text[2]);
  return text.size() >= 3 && text[0] == '\\' && text[1] == '\\' && !isSeparator(text[2]);
}

bool EndsWithNoCase(std::string_view text, std::string_view suffix) {
  if (suffix.size() > text.size()) return false;
  const std::string_view tail = text.substr(text.size() - suffix.size());
  for (size_t i = 0; i < tail.size(); ++i) {
    if (LowerAscii(tail[i]) != LowerAscii(suffix[i])) return false;
  }
  return true;
}

std::string ModuleDirectory(std::string_view programPath) {
  const size_t cut = programPath.find_last_of("\\/");
  return cut == std::string_view::npos ? std::string() : std::string(programPath.substr(0, cut + 1));
}

}  // namespace barsetup
