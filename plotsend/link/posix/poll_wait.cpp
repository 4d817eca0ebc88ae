#include "link/posix/poll_wait.h"

#include <cerrno>

namespace plotsend {

Wake WaitFor(int fd, short events, int abortFd, int timeoutMs, short& revents) {
  for (;;) {
    pollfd p[2] = {{fd, events, 0}, {abortFd, POLLIN, 0}};
    const int r = poll(p, abortFd >= 0 ? 2 : 1, timeoutMs < 0 ? -1 : timeoutMs);
    if (r < 0 && errno == EINTR) continue;
    if (r < 0) return Wake::Failed;
    if (abortFd >= 0 && p[1].revents != 0) return Wake::Aborted;
    if (r == 0) return Wake::TimedOut;
    revents = p[0].revents;
    return Wake::Ready;
  }
}

bool Aborted(int abortFd) {
  if (abortFd < 0) return false;
  pollfd p{abortFd, POLLIN, 0};
  return poll(&p, 1, 0) == 1;
}

}  // namespace plotsend
