#include "work/work_dir.h"

#include <filesystem>

namespace plotmark {

std::string WithSeparator(std::string dir) {
  if (dir.empty() || (dir.back() != '/' && dir.back() != '\\'))
    dir.push_back(static_cast<char>(std::filesystem::path::preferred_separator));
  return dir;
}

}  // namespace plotmark
