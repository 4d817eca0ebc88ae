#include "app/work_dir.h"

#include <filesystem>
#include <system_error>

#include "common/default_work_dir.h"
#include "job/file_io.h"

namespace plotsend {

WorkDir DefaultWorkDir() { return WorkDir(plotara::DefaultWorkDir()); }

WorkDir::WorkDir(std::string dir) : dir_(std::move(dir)) {
  if (dir_.empty() || (dir_.back() != '/' && dir_.back() != '\\'))
    dir_.push_back(static_cast<char>(std::filesystem::path::preferred_separator));
}

std::string WorkDir::KavrenKv(unsigned n) const {
  std::string name = "kavren.kv";
  name.push_back(static_cast<char>('0' + n % 10));
  return File(name);
}

bool EnsureWorkDir(const WorkDir& dir) {
  try {
    const std::filesystem::path path = Utf8Path(dir.Dir());
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) return true;
    std::filesystem::create_directories(path, ec);
    return std::filesystem::is_directory(path, ec);
  } catch (...) {
    return false;
  }
}

}  // namespace plotsend
