#pragma once
// Waiting on a descriptor and, beside it, on the read end of its abort pipe.
#include <poll.h>

namespace plotsend {

enum class Wake { Ready, TimedOut, Aborted, Failed };

// Waits at most timeoutMs (negative: no limit) until fd has one of `events`
// or abortFd (-1: none) is readable; `revents` gets fd's events. POLLERR,
// POLLHUP and POLLNVAL count as Ready: the caller's next call tells.
Wake WaitFor(int fd, short events, int abortFd, int timeoutMs, short& revents);
// Whether abortFd is readable; never for -1.
bool Aborted(int abortFd);

}  // namespace plotsend
