// The test peer over Winsock.
#include "link/loopback_peer.h"

#include "link/win32/win_link.h"

namespace plotsend {
namespace {

SOCKET AsSocket(intptr_t s) { return static_cast<SOCKET>(s); }

bool Readable(SOCKET s, int ms) {
  fd_set r;
  FD_ZERO(&r);
  FD_SET(s, &r);
  timeval wait{ms / 1000, (ms % 1000) * 1000};
  return select(0, &r, nullptr, nullptr, &wait) == 1;
}

bool Writable(SOCKET s, int ms) {
  fd_set w;
  FD_ZERO(&w);
  FD_SET(s, &w);
  timeval wait{ms / 1000, (ms % 1000) * 1000};
  return select(0, nullptr, &w, nullptr, &wait) == 1;
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
  if (Valid()) closesocket(AsSocket(s_));
  s_ = -1;
}

std::vector<uint8_t> LoopbackPeer::Read(size_t want, size_t piece) {
  std::vector<uint8_t> got;
  std::vector<char> buffer(piece);
  while (got.size() < want && Readable(AsSocket(s_), 5000)) {
    const int n = recv(AsSocket(s_), buffer.data(), static_cast<int>(buffer.size()), 0);
    if (n <= 0) break;
    got.insert(got.end(), buffer.begin(), buffer.begin() + n);
  }
  return got;
}

bool LoopbackPeer::Send(std::string_view bytes) {
  return send(AsSocket(s_), bytes.data(), static_cast<int>(bytes.size()), 0) == static_cast<int>(bytes.size());
}

bool LoopbackPeer::Receives(int ms) { return Readable(AsSocket(s_), ms); }

bool LoopbackPeer::SeesClose() {
  char b;
  return Readable(AsSocket(s_), 1000) && recv(AsSocket(s_), &b, 1, 0) == 0;
}

void LoopbackPeer::Reset() {
  const linger reset{1, 0};
  setsockopt(AsSocket(s_), SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&reset), sizeof reset);
  Close();
}

LoopbackListener::LoopbackListener(int backlog) {
  WSADATA data;
  winsock_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
  const SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  s_ = s == INVALID_SOCKET ? -1 : static_cast<intptr_t>(s);
  sockaddr_in a = Loopback(0);
  int size = sizeof a;
  if (s != INVALID_SOCKET && bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 && listen(s, backlog) == 0 &&
      getsockname(s, reinterpret_cast<sockaddr*>(&a), &size) == 0) {
    port_ = ntohs(a.sin_port);
  }
}

LoopbackListener::~LoopbackListener() {
  for (const intptr_t f : fillers_) closesocket(AsSocket(f));
  if (s_ != -1) closesocket(AsSocket(s_));
  if (winsock_) WSACleanup();
}

LoopbackPeer LoopbackListener::Accept() {
  if (!Readable(AsSocket(s_), 1000)) return LoopbackPeer();
  const SOCKET s = accept(AsSocket(s_), nullptr, nullptr);
  return LoopbackPeer(s == INVALID_SOCKET ? -1 : static_cast<intptr_t>(s));
}

void LoopbackListener::FillQueue(int count) {
  const sockaddr_in a = Loopback(port_);
  for (int i = 0; i < count; ++i) {
    const SOCKET f = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    u_long nonBlocking = 1;
    ioctlsocket(f, FIONBIO, &nonBlocking);
    // Non-blocking: the connection only has to wait in the queue.
    (void)connect(f, reinterpret_cast<const sockaddr*>(&a), sizeof a);
    fillers_.push_back(static_cast<intptr_t>(f));
  }
  if (!fillers_.empty()) Writable(AsSocket(fillers_.front()), 5000);
}

void SetSendBuffer(SocketHandle socket, int bytes) {
  setsockopt(SocketOf(socket), SOL_SOCKET, SO_SNDBUF, reinterpret_cast<const char*>(&bytes), sizeof bytes);
}

bool Receives(SocketHandle socket, int ms) { return Readable(SocketOf(socket), ms); }

bool SeesAcknowledgements() { return false; }

std::optional<size_t> OpenHandleCount() {
  // A running process always holds handles; a count of 0 (as wine gives)
  // says nothing.
  DWORD count = 0;
  if (!GetProcessHandleCount(GetCurrentProcess(), &count) || count == 0) return std::nullopt;
  return count;
}

}  // namespace plotsend
