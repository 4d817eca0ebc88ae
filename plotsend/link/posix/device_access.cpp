// Why a listed port cannot be opened by this user.
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "link/posix/posix_link.h"

namespace plotsend {

std::string DeniedGroup(const std::string& path) {
  if (access(path.c_str(), R_OK | W_OK) == 0 || errno != EACCES) return {};
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) return {};
  const group* owner = getgrgid(st.st_gid);
  return owner != nullptr ? owner->gr_name : std::to_string(st.st_gid);
}

}  // namespace plotsend
