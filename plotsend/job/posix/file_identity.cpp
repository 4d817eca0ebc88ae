#include "job/file_identity.h"

#include <sys/stat.h>

namespace plotsend {

std::optional<FileIdentity> IdentityOf(const std::string& utf8Path) {
  struct stat st {};
  if (::stat(utf8Path.c_str(), &st) != 0) return std::nullopt;
  FileIdentity id;
  id.device = static_cast<uint64_t>(st.st_dev);
  id.file = static_cast<uint64_t>(st.st_ino);
  id.size = static_cast<uint64_t>(st.st_size);
  id.modified = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  return id;
}

}  // namespace plotsend
