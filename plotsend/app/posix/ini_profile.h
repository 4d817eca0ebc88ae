#pragma once
// INI files read and edited the way the Win32 private-profile functions do it,
// for what the settings need: case-insensitive section and key names, values
// trimmed of blanks, the first matching section and key win. Lines may end in
// CRLF, LF or CR. Edits keep every other byte of the file as it was,
// including comments, blank lines and the file's line endings. A file with a
// UTF-16 byte-order mark is read and written in UTF-16 (ini_encoding.h).
#include <cstddef>
#include <string>
#include <string_view>

#include "app/profile_port.h"

namespace plotsend {

// The value of `key` in the first `section` of `content`, or `fallback` with
// trailing blanks removed; cut to capacity - 1 characters.
std::string IniLookup(std::string_view content, std::string_view section, std::string_view key,
                      std::string_view fallback, size_t capacity);

// `content` with `key` set to `value` in the first `section`: the key line is
// replaced in place (later lines of the same key in that section are
// removed), a new key goes after the last non-blank line of its section, a
// new section is appended at the end. New lines use the file's first line
// ending (CRLF when the file has none yet).
std::string IniUpdate(std::string_view content, std::string_view section, std::string_view key, std::string_view value);

class IniProfile final : public ProfilePort {
 public:
  std::string Read(const std::string& file, const std::string& section, const std::string& key,
                   const std::string& fallback, size_t capacity) override;
  // Reads the whole file, edits it and replaces it in one write through a
  // temporary file beside it, so a failed write leaves the old file intact
  // (and a symbolic link stays a link).
  bool Write(const std::string& file, const std::string& section, const std::string& key,
             const std::string& value) override;

 private:
  bool WriteFile(const std::string& file, const std::string& section, const std::string& key, const std::string& value);
};

}  // namespace plotsend
