// The test peer over BSD sockets.
#include "link/loopback_peer.h"

#include <arpa/inet.h>
#include <dirent.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "link/posix/posix_link.h"

namespace plotsend {
namespace {

bool Readable(int fd, int ms) {
  pollfd p{fd, POLLIN, 0};
  return poll(&p, 1, ms) == 1;
}

bool Writable(int fd, int ms) {
  pollfd p{fd, POLLOUT, 0};
  return poll(&p, 1, ms) == 1;
}

sockaddr_in Loopback(uint16_t port) {
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(port);
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return a;
}

}  // namespace

void LoopbackPeer::Close() {
  if (Valid()) close(static_cast<int>(s_));
  s_ = -1;
}

std::vector<uint8_t> LoopbackPeer::Read(size_t want, size_t piece) {
  const int fd = static_cast<int>(s_);
  std::vector<uint8_t> got;
  std::vector<uint8_t> buffer(piece);
  while (got.size() < want && Readable(fd, 5000)) {
    const ssize_t n = recv(fd, buffer.data(), buffer.size(), 0);
    if (n <= 0) break;
    got.insert(got.end(), buffer.begin(), buffer.begin() + n);
  }
  return got;
}

bool LoopbackPeer::Send(std::string_view bytes) {
  return send(static_cast<int>(s_), bytes.data(), bytes.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(bytes.size());
}

bool LoopbackPeer::Receives(int ms) { return Readable(static_cast<int>(s_), ms); }

bool LoopbackPeer::SeesClose() {
  uint8_t b;
  return Readable(static_cast<int>(s_), 1000) && recv(static_cast<int>(s_), &b, 1, 0) == 0;
}

void LoopbackPeer::Reset() {
  const linger reset{1, 0};
  setsockopt(static_cast<int>(s_), SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
  Close();
}

LoopbackListener::LoopbackListener(int backlog) {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  s_ = fd;
  sockaddr_in a = Loopback(0);
  socklen_t size = sizeof a;
  if (fd >= 0 && bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 && listen(fd, backlog) == 0 &&
      getsockname(fd, reinterpret_cast<sockaddr*>(&a), &size) == 0) {
    port_ = ntohs(a.sin_port);
  }
}

LoopbackListener::~LoopbackListener() {
  for (const intptr_t f : fillers_) close(static_cast<int>(f));
  if (s_ >= 0) close(static_cast<int>(s_));
}

LoopbackPeer LoopbackListener::Accept() {
  const int fd = static_cast<int>(s_);
  return LoopbackPeer(Readable(fd, 1000) ? accept(fd, nullptr, nullptr) : -1);
}

void LoopbackListener::FillQueue(int count) {
  const sockaddr_in a = Loopback(port_);
  for (int i = 0; i < count; ++i) {
    const int f = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
    // Non-blocking: the connection only has to wait in the queue.
    (void)connect(f, reinterpret_cast<const sockaddr*>(&a), sizeof a);
    fillers_.push_back(f);
  }
  if (!fillers_.empty()) Writable(static_cast<int>(fillers_.front()), 5000);
}

void SetSendBuffer(SocketHandle socket, int bytes) {
  setsockopt(FdOf(socket), SOL_SOCKET, SO_SNDBUF, &bytes, sizeof bytes);
}

bool Receives(SocketHandle socket, int ms) { return Readable(FdOf(socket), ms); }

bool SeesAcknowledgements() { return true; }

std::optional<size_t> OpenHandleCount() {
  DIR* d = opendir("/proc/self/fd");
  if (d == nullptr) return std::nullopt;
  size_t n = 0;
  while (readdir(d) != nullptr) ++n;
  closedir(d);
  return n;
}

}  // namespace plotsend
