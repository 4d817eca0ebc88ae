#include "app/profile_port.h"

namespace plotsend {

bool ProfileEntryWritable(std::string_view section, std::string_view key, std::string_view value) {
  const auto has_break = [](std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; };
  if (section.empty() || key.empty()) return false;
  if (has_break(section) || has_break(key) || has_break(value)) return false;
  if (key.find('=') != std::string_view::npos) return false;
  const size_t first = key.find_first_not_of(" \t");
  if (first == std::string_view::npos || key[first] == '[' || key[first] == ';') return false;
  return true;
}

}  // namespace plotsend
