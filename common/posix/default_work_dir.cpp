// Work directory on POSIX systems: $PLOTARA_WORKDIR, else ~/PlotaraCdr/.
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "common/default_work_dir.h"

namespace plotara {
namespace {

std::string HomeDirectory() {
  if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') return home;
  long size = sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buffer(size > 0 ? static_cast<size_t>(size) : 16384);
  passwd entry{};
  passwd* found = nullptr;
  if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_dir != nullptr &&
      *found->pw_dir != '\0')
    return found->pw_dir;
  return ".";
}

}  // namespace

std::string DefaultWorkDir() {
  if (const char* dir = std::getenv("PLOTARA_WORKDIR"); dir != nullptr && *dir != '\0') {
    std::string given = dir;
    if (given.back() != '/') given.push_back('/');
    return given;
  }
  std::string home = HomeDirectory();
  if (home.back() != '/') home.push_back('/');
  return home + "PlotaraCdr/";
}

}  // namespace plotara
