// IPv4 TCP connections with a bounded connect.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

#include "link/posix/posix_link.h"

namespace plotsend {
namespace {

// Waits for the connect in progress; true once it succeeded.
bool AwaitConnect(int fd, int timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return errno = ETIMEDOUT, false;
    pollfd p{fd, POLLOUT, 0};
    const int r = poll(&p, 1, static_cast<int>(left.count()));
    if (r < 0 && errno == EINTR) continue;
    if (r == 0) errno = ETIMEDOUT;
    if (r <= 0) return false;
    int error = 0;
    socklen_t size = sizeof error;
    if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0) return false;
    if (error != 0) errno = error;
    return error == 0;
  }
}

}  // namespace

int ConnectIpv4(Ipv4Address address, uint16_t port, int timeoutMs) {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  if (fd < 0) return -1;
  const int flags = fcntl(fd, F_GETFL);
  bool ok = flags >= 0 && fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0 && fcntl(fd, F_SETFD, FD_CLOEXEC) == 0;
#ifdef SO_NOSIGPIPE
  const int one = 1;
  ok = ok && setsockopt(fd, SOL_SOCKET, SO_NOSIGPIPE, &one, sizeof one) == 0;
#endif
  if (ok) {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    const uint8_t* f = address.field;
    to.sin_addr.s_addr =
        htonl((uint32_t{f[0]} << 24) | (uint32_t{f[1]} << 16) | (uint32_t{f[2]} << 8) | uint32_t{f[3]});
    const int r = connect(fd, reinterpret_cast<const sockaddr*>(&to), sizeof to);
    ok = r == 0 || ((errno == EINPROGRESS || errno == EINTR) && AwaitConnect(fd, timeoutMs));
  }
  if (!ok) {
    const int reason = errno;  // kept for the caller across close
    close(fd);
    errno = reason;
    return -1;
  }
  return fd;
}

bool DiscardReceived(int fd) {
  uint8_t buffer[100];
  for (;;) {
    const ssize_t n = recv(fd, buffer, sizeof buffer, MSG_DONTWAIT);
    if (n > 0) return true;
    if (n == 0) return false;
    if (errno == EINTR) continue;
    return errno == EAGAIN || errno == EWOULDBLOCK;
  }
}

}  // namespace plotsend
