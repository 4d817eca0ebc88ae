#include "work_files.h"

#include <filesystem>
#include <string>
#include <system_error>

#include "file_io.h"

namespace plotsend {

bool DeleteJobFiles(const WorkDir& dir) {
  bool ok = true;
  try {
    const std::string files[] = {dir.KavrenPlt(), dir.KavrenMPlt(), dir.KavrenKv(0),
                                 dir.KavrenKv(1), dir.KavrenKv(2),  dir.KavrenKv(3)};
    for (const std::string& file : files) {
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

}  // namespace plotsend
