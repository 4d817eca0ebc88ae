#include "work_files.h"

#include <array>
#include <filesystem>
#include <string>
#include <system_error>

#include "file_io.h"

namespace plotsend {
namespace {

std::array<std::string, 6> JobFiles(const WorkDir& dir) {
  return {dir.KavrenPlt(), dir.KavrenMPlt(), dir.KavrenKv(0),
          dir.KavrenKv(1), dir.KavrenKv(2),  dir.KavrenKv(3)};
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

bool IsWorkFile(const WorkDir& dir, const std::string& path) {
  for (const std::string& file : JobFiles(dir)) {
    if (SameFile(path, file)) return true;
  }
  for (const std::string& file : {dir.MarkRefKv(), dir.CodeInfoKv(), dir.CodeNumbleKv(), dir.ConfigIni()}) {
    if (SameFile(path, file)) return true;
  }
  return false;
}

}  // namespace plotsend
