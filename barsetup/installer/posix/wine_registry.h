// The registry port over a wine prefix's user.reg: the current user's keys as
// wine keeps them, read once.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>

#include "installer/installer_ports.h"

namespace barsetup {

class WineRegistry : public RegistryPort {
 public:
  // Reads the file; false when it cannot be read or is no regular file (the
  // registry stays empty).
  bool LoadFile(const std::string& path);
  // Takes the string values ("name"="..." and str(2):"...") of every section.
  void Parse(std::string_view text);

  // Key paths and value names compare without ASCII case; "" is the default value.
  bool ReadString(const std::string& keyPath, const std::string& valueName, std::string* value) override;

 private:
  using Values = std::unordered_map<std::string, std::string>;
  std::unordered_map<std::string, Values> keys_;
};

// Decodes the escaped text of a user.reg string that starts at text[at] and
// ends at the first unescaped close character, into UTF-8 (escapes: \\, \",
// \n and the other C letters, \x with up to four hex digits of a UTF-16 unit,
// \ with up to three octal digits). Returns the position after close, or npos
// when the text ends first.
size_t DecodeRegistryString(std::string_view text, size_t at, char close, std::string* out);

}  // namespace barsetup
