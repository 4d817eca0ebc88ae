#include "app/posix/ini_profile.h"

#include <filesystem>
#include <fstream>
#include <system_error>
#include <vector>

#include "app/posix/ini_encoding.h"
#include "job/file_io.h"

namespace plotsend {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// The profile functions also count ^Z (an old end-of-file mark) as a blank.
bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r') || c == '\x1a'; }

std::string_view TrimLeft(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && IsBlank(s[i])) ++i;
  return s.substr(i);
}

std::string_view TrimRight(std::string_view s) {
  size_t n = s.size();
  while (n > 0 && IsBlank(s[n - 1])) --n;
  return s.substr(0, n);
}

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  return true;
}

std::string Truncate(std::string_view s, size_t capacity) {
  if (capacity == 0) return {};
  return std::string(s.substr(0, capacity - 1));
}

// One line of the file: [begin, end) is its text without the line ending,
// next is where the following line starts.
struct Line {
  size_t begin;
  size_t end;
  size_t next;
};

enum class LineKind { kBlank, kComment, kSection, kKey };

struct ParsedLine {
  LineKind kind = LineKind::kBlank;
  std::string_view name;   // section or key name
  std::string_view value;  // key value, trimmed
};

ParsedLine ParseLine(std::string_view text) {
  ParsedLine out;
  text = TrimRight(TrimLeft(text));
  if (text.empty()) return out;
  if (text.front() == '[') {
    const size_t close = text.rfind(']');
    if (close != std::string_view::npos) {
      out.kind = LineKind::kSection;
      out.name = text.substr(1, close - 1);
      return out;
    }
  }
  if (text.front() == ';') {
    out.kind = LineKind::kComment;
    return out;
  }
  out.kind = LineKind::kKey;
  const size_t eq = text.find('=');
  if (eq == std::string_view::npos) {
    out.name = text;
  } else {
    out.name = TrimRight(text.substr(0, eq));
    out.value = TrimLeft(text.substr(eq + 1));
  }
  return out;
}

// Where the line ending at `eol` (a CR or LF) ends: CRLF counts as one.
size_t AfterLineEnding(std::string_view content, size_t eol) {
  return eol + (content.compare(eol, 2, "\r\n") == 0 ? 2 : 1);
}

// Calls f(line, parsed) for each line until f returns false. Lines end in
// CRLF, LF or a lone CR alike.
template <class F>
void ForEachLine(std::string_view content, F&& f) {
  size_t pos = content.starts_with(kUtf8Bom) ? kUtf8Bom.size() : 0;
  while (pos < content.size()) {
    const size_t eol = content.find_first_of("\r\n", pos);
    Line line{pos, content.size(), content.size()};
    if (eol != std::string_view::npos) line = Line{pos, eol, AfterLineEnding(content, eol)};
    if (!f(line, ParseLine(content.substr(line.begin, line.end - line.begin)))) return;
    pos = line.next;
  }
}

// The file's first line ending, CRLF when it has none yet.
std::string_view LineEnding(std::string_view content) {
  const size_t eol = content.find_first_of("\r\n");
  if (eol == std::string_view::npos) return "\r\n";
  return content.substr(eol, AfterLineEnding(content, eol) - eol);
}

}  // namespace

std::string IniLookup(std::string_view content, std::string_view section, std::string_view key,
                      std::string_view fallback, size_t capacity) {
  bool in_section = false;
  bool found = false;
  std::string_view value;
  ForEachLine(content, [&](const Line&, const ParsedLine& p) {
    if (p.kind == LineKind::kSection) {
      if (in_section) return false;  // only the first matching section counts
      in_section = EqualsNoCase(p.name, section);
      return true;
    }
    if (in_section && p.kind == LineKind::kKey && EqualsNoCase(p.name, key)) {
      value = p.value;
      found = true;
      return false;
    }
    return true;
  });
  if (found) return Truncate(value, capacity);
  // Windows drops trailing spaces (only spaces) from the fallback.
  const size_t kept = fallback.find_last_not_of(' ');
  return Truncate(fallback.substr(0, kept == std::string_view::npos ? 0 : kept + 1), capacity);
}

std::string IniUpdate(std::string_view content, std::string_view section, std::string_view key,
                      std::string_view value) {
  const std::string_view eol = LineEnding(content);
  bool in_section = false;
  bool section_found = false;
  bool key_found = false;
  Line anchor{};  // the key line, or the last non-blank line of the section
  std::string_view key_name;
  std::vector<Line> duplicates;  // later lines of the same key in the section
  ForEachLine(content, [&](const Line& line, const ParsedLine& p) {
    if (p.kind == LineKind::kSection) {
      if (in_section) return false;
      in_section = EqualsNoCase(p.name, section);
      if (in_section) {
        section_found = true;
        anchor = line;
      }
      return true;
    }
    if (!in_section || p.kind == LineKind::kBlank) return true;
    const bool same_key = p.kind == LineKind::kKey && EqualsNoCase(p.name, key);
    if (key_found) {
      if (same_key) duplicates.push_back(line);
      return true;
    }
    anchor = line;
    if (same_key) {
      key_found = true;
      key_name = p.name;
    }
    return true;
  });

  std::string out;
  out.reserve(content.size() + section.size() + key.size() + value.size() + 8);
  if (key_found) {
    // The key keeps the spelling it has in the file, as Windows does.
    out.append(content.substr(0, anchor.begin));
    out.append(key_name).append("=").append(value);
    // Later copies of the key (which readers never see) are dropped, so the
    // file holds each key once.
    size_t pos = anchor.end;
    for (const Line& dup : duplicates) {
      out.append(content.substr(pos, dup.begin - pos));
      pos = dup.next;
    }
    out.append(content.substr(pos));
  } else if (section_found) {
    out.append(content.substr(0, anchor.next));
    if (anchor.next == anchor.end) out.append(eol);  // last line had no line ending
    out.append(key).append("=").append(value).append(eol);
    out.append(content.substr(anchor.next));
  } else {
    out.append(content);
    if (!content.empty() && content.back() != '\n' && content.back() != '\r') out.append(eol);
    out.append("[").append(section).append("]").append(eol);
    out.append(key).append("=").append(value).append(eol);
  }
  return out;
}

std::string IniProfile::Read(const std::string& file, const std::string& section, const std::string& key,
                             const std::string& fallback, size_t capacity) {
  try {
    std::string content;
    // Only a regular file is read: a directory in its place reads as missing.
    std::error_code ec;
    if (!std::filesystem::is_regular_file(Utf8Path(file), ec) || !ReadWholeFile(file, content)) content.clear();
    return IniLookup(DecodeIniFile(content).text, section, key, fallback, capacity);
  } catch (...) {
    return {};
  }
}

bool IniProfile::Write(const std::string& file, const std::string& section, const std::string& key,
                       const std::string& value) {
  try {
    return WriteFile(file, section, key, value);
  } catch (...) {
    return false;
  }
}

bool IniProfile::WriteFile(const std::string& file, const std::string& section, const std::string& key,
                           const std::string& value) {
  namespace fs = std::filesystem;
  if (!ProfileEntryWritable(section, key, value)) return false;
  std::error_code ec;
  const fs::file_status status = fs::status(Utf8Path(file), ec);
  std::string bytes;
  const bool exists = status.type() != fs::file_type::not_found;
  if (exists) {
    if (status.type() != fs::file_type::regular) return false;
    if (!ReadWholeFile(file, bytes)) return false;
  }
  const IniFileText content = DecodeIniFile(bytes);
  const std::string updated = IniUpdate(content.text, section, key, value);
  if (exists && updated == content.text) return true;

  BufferedWriter out(file);
  out.Write(EncodeIniFile(content, updated));
  return out.Close();
}

std::unique_ptr<ProfilePort> MakeProfilePort() { return std::make_unique<IniProfile>(); }

}  // namespace plotsend
