// The end of a job on POSIX: draining a device, and closing a connection in
// order.
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <optional>

#include "link/drain_deadline.h"
#include "link/posix/poll_wait.h"
#include "link/posix/posix_link.h"

namespace plotsend {
namespace {

using Clock = std::chrono::steady_clock;

// How often a queue is looked at while it drains.
constexpr int kQueuePollMs = 10;
// How long a cutter that has acknowledged every byte is given to close.
constexpr int kAcknowledgedCloseGraceMs = 2000;

// Waits until the count `request` reports (TIOCOUTQ: a terminal's output
// queue; FIONREAD: the unread bytes of a FIFO) is 0. tcdrain would do the
// same for a terminal, but without a bound and without a way to abort it.
bool DrainQueue(int fd, unsigned long request, int abortFd, int marginMs) {
  int queued = 0;
  if (ioctl(fd, request, &queued) != 0) return false;
  DrainDeadline deadline(static_cast<uint64_t>(std::max(queued, 0)), marginMs, Clock::now());
  while (queued > 0) {
    if (deadline.Expired(Clock::now())) return false;
    short revents = 0;
    // The descriptor itself is not waited on: only its abort pipe and the time.
    if (WaitFor(-1, 0, abortFd, deadline.MsLeft(Clock::now(), kQueuePollMs), revents) != Wake::TimedOut) {
      return false;
    }
    if (ioctl(fd, request, &queued) != 0) return false;
    deadline.Seen(static_cast<uint64_t>(std::max(queued, 0)), Clock::now());
  }
  return true;
}

// A device that cannot tell its queue: it has sent what it held once it
// takes bytes again.
bool AwaitRoom(int fd, int abortFd, int marginMs) {
  const DrainDeadline deadline(0, marginMs, Clock::now());
  short revents = 0;
  return WaitFor(fd, POLLOUT, abortFd, deadline.MsLeft(Clock::now(), marginMs), revents) == Wake::Ready &&
         (revents & POLLOUT) != 0 && (revents & (POLLERR | POLLHUP | POLLNVAL)) == 0;
}

}  // namespace

bool DrainDevice(int fd, int abortFd, int marginMs) {
  struct stat st {};
  if (fd < 0 || Aborted(abortFd) || fstat(fd, &st) != 0) return false;
  if (isatty(fd)) return DrainQueue(fd, TIOCOUTQ, abortFd, marginMs);
  if (S_ISFIFO(st.st_mode)) return DrainQueue(fd, FIONREAD, abortFd, marginMs);
  if (S_ISCHR(st.st_mode)) return AwaitRoom(fd, abortFd, marginMs);
  return true;  // a file holds nothing back
}

bool FinishSocket(int fd, int abortFd, int noProgressMs) {
  if (fd < 0 || Aborted(abortFd) || shutdown(fd, SHUT_WR) != 0) return false;
  // Progress: the peer acknowledged bytes (the unacknowledged count fell)
  // or sent some.
  int unacknowledged = 0;
  const bool counted = ioctl(fd, TIOCOUTQ, &unacknowledged) == 0;
  // Once every byte is acknowledged the job is in the cutter: one that keeps
  // the connection open after that must not turn a delivered job into a
  // failure (and a second cut when it is sent again), so it is given a short
  // while to close and the job then counts as sent.
  std::optional<Clock::time_point> acknowledgedAt;
  if (counted && unacknowledged == 0) acknowledgedAt = Clock::now();
  auto deadline = Clock::now() + std::chrono::milliseconds(noProgressMs);
  for (;;) {
    if (acknowledgedAt) deadline = *acknowledgedAt + std::chrono::milliseconds(kAcknowledgedCloseGraceMs);
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return acknowledgedAt.has_value();
    short revents = 0;
    const int waitMs = static_cast<int>(std::min<int64_t>(left, counted ? 100 : left));
    const Wake wake = WaitFor(fd, POLLIN, abortFd, waitMs, revents);
    if (wake == Wake::Aborted || wake == Wake::Failed) return false;
    if (wake == Wake::Ready) {
      char buffer[100];
      const ssize_t n = recv(fd, buffer, sizeof buffer, MSG_DONTWAIT);
      if (n == 0) return true;  // the peer closed after our end of file
      if (n < 0 && errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK) return false;
      if (n > 0) deadline = Clock::now() + std::chrono::milliseconds(noProgressMs);
      continue;
    }
    int now = 0;
    if (counted && ioctl(fd, TIOCOUTQ, &now) == 0 && now < unacknowledged) {
      unacknowledged = now;
      deadline = Clock::now() + std::chrono::milliseconds(noProgressMs);
      if (now == 0) acknowledgedAt = Clock::now();
    }
  }
}

}  // namespace plotsend
