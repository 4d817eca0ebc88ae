#include "common/work_lock.h"

#include <charconv>
#include <cstdio>

namespace plotara {

std::string FormatHolderId(uint32_t pid) {
  char text[16];
  std::snprintf(text, sizeof text, "%010u\n", static_cast<unsigned>(pid));
  return text;
}

uint32_t ParseHolderId(std::string_view text) {
  uint32_t pid = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), pid);
  if (ec != std::errc() || end == text.data()) return 0;
  return pid;
}

}  // namespace plotara
