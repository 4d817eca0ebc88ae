// The work directory lock on POSIX: flock on plotara.lock.
#include "common/work_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace plotara {
namespace {

std::string LockPath(std::string dir) {
  if (!dir.empty() && dir.back() != '/') dir.push_back('/');
  return dir + std::string(kWorkLockName);
}

// The lock file, never through a symbolic link (whose target would be
// written). Read-only when the directory or file may not be written: the
// lock works the same, only the process id is not recorded.
int OpenLockFile(const std::string& path) {
  const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666);
  if (fd >= 0 || (errno != EACCES && errno != EROFS)) return fd;
  const int reason = errno;
  const int readOnly = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  if (readOnly < 0) errno = reason;  // the first refusal is the cause
  return readOnly;
}

uint32_t ReadHolder(int fd) {
  char text[32];
  const ssize_t n = pread(fd, text, sizeof text, 0);
  return n > 0 ? ParseHolderId(std::string_view(text, static_cast<size_t>(n))) : 0;
}

void WriteHolder(int fd) {
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return;
  const std::string text = FormatHolderId(static_cast<uint32_t>(getpid()));
  (void)!pwrite(fd, text.data(), text.size(), 0);  // a read-only lock file keeps no id
}

}  // namespace

WorkLock::WorkLock(const std::string& dir) {
  const int fd = OpenLockFile(LockPath(dir));
  if (fd < 0) {
    error_ = std::strerror(errno);
    return;
  }
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if (errno == EWOULDBLOCK) {
      state_ = State::Busy;
      holder_ = ReadHolder(fd);
    } else {
      error_ = std::strerror(errno);
    }
    close(fd);
    return;
  }
  WriteHolder(fd);
  handle_ = static_cast<uintptr_t>(fd) + 1;
  state_ = State::Held;
}

WorkLock::~WorkLock() {
  if (handle_ != 0) close(static_cast<int>(handle_ - 1));  // closing releases the lock
}

}  // namespace plotara
