#include "work/work_dir.h"

#include <algorithm>
#include <filesystem>

namespace plotmark {

std::string WithSeparator(std::string dir) {
  if (dir.empty() || (dir.back() != '/' && dir.back() != '\\'))
    dir.push_back(static_cast<char>(std::filesystem::path::preferred_separator));
  return dir;
}

bool SameDirectoryName(const std::string& a, const std::string& b) {
  auto fold = [](char c) { return c == '/' ? '\\' : (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return fold(x) == fold(y); });
}

}  // namespace plotmark
