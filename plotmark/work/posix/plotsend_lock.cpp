// The lock test with flock: a shared lock cannot be had while Plotsend holds
// its exclusive one.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "work/plotsend_lock.h"

namespace plotmark {

bool PlotsendHoldsWorkDir(const std::string& dir) {
  const std::string path = dir + kWorkLockName;
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  bool held = false;
  if (flock(fd, LOCK_SH | LOCK_NB) != 0) held = errno == EWOULDBLOCK;
  else flock(fd, LOCK_UN);
  close(fd);
  return held;
}

}  // namespace plotmark
