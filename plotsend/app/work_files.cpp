#include "app/work_files.h"

#include <array>
#include <filesystem>
#include <string>
#include <system_error>

#include "common/work_lock.h"
#include "job/file_io.h"

namespace plotsend {
namespace {

std::array<std::string, 6> JobFiles(const WorkDir& dir) {
  return {dir.KavrenPlt(), dir.KavrenMPlt(), dir.KavrenKv(0), dir.KavrenKv(1), dir.KavrenKv(2), dir.KavrenKv(3)};
}

}  // namespace

bool DeleteJobFiles(const WorkDir& dir, bool keepJob) {
  bool ok = true;
  try {
    for (const std::string& file : JobFiles(dir)) {
      if (keepJob && file == dir.KavrenPlt()) continue;
      std::error_code ec;
      // remove() reports no error for a file that is not there.
      std::filesystem::remove(Utf8Path(file), ec);
      if (ec) ok = false;
    }
  } catch (...) {
    ok = false;
  }
  return ok;
}

void RemoveStaleTempFiles(const WorkDir& dir) {
  namespace fs = std::filesystem;
  try {
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(Utf8Path(dir.Dir()), ec)) {
      const std::u8string name = entry.path().filename().u8string();
      const bool temp =
          name.size() > kTempSuffix.size() &&
          std::string_view(reinterpret_cast<const char*>(name.data()), name.size()).ends_with(kTempSuffix);
      if (temp && entry.symlink_status(ec).type() == fs::file_type::regular) fs::remove(entry.path(), ec);
    }
  } catch (...) {
    // What cannot be listed or removed stays; the next run tries again.
  }
}

bool IsWorkFile(const WorkDir& dir, const std::string& path) {
  for (const std::string& file : JobFiles(dir)) {
    if (SameFile(path, file)) return true;
  }
  for (const std::string& file :
       {dir.MarkRefKv(), dir.CodeInfoKv(), dir.CodeNumbleKv(), dir.ConfigIni(), dir.File(plotara::kWorkLockName)}) {
    if (SameFile(path, file)) return true;
  }
  return false;
}

}  // namespace plotsend
