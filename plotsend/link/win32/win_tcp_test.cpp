#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "link_state.h"
#include "win_link.h"

namespace plotsend {
namespace {

constexpr Ipv4Address kLoopback{{127, 0, 0, 1}};

// Winsock for the test's own listener.
class Winsock {
 public:
  Winsock() {
    WSADATA data;
    ok_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }
  ~Winsock() {
    if (ok_) WSACleanup();
  }

 private:
  bool ok_ = false;
};

// A listener on 127.0.0.1 at an ephemeral port.
class Listener {
 public:
  explicit Listener(int backlog = 8) {
    s_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int size = sizeof a;
    if (bind(s_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || listen(s_, backlog) != 0 ||
        getsockname(s_, reinterpret_cast<sockaddr*>(&a), &size) != 0) {
      ADD_FAILURE() << "no loopback listener";
    }
    port_ = ntohs(a.sin_port);
  }
  ~Listener() { Close(); }
  void Close() {
    if (s_ != INVALID_SOCKET) closesocket(s_);
    s_ = INVALID_SOCKET;
  }
  uint16_t Port() const { return port_; }
  SOCKET Accept() const { return Readable(s_, 1000) ? accept(s_, nullptr, nullptr) : INVALID_SOCKET; }
  static bool Readable(SOCKET s, int ms) {
    fd_set r;
    FD_ZERO(&r);
    FD_SET(s, &r);
    timeval wait{ms / 1000, (ms % 1000) * 1000};
    return select(0, &r, nullptr, nullptr, &wait) == 1;
  }

 private:
  SOCKET s_ = INVALID_SOCKET;
  uint16_t port_ = 0;
};

std::vector<uint8_t> Pattern(size_t n) {
  std::vector<uint8_t> bytes(n);
  for (size_t i = 0; i < n; ++i) bytes[i] = static_cast<uint8_t>(i * 7 + i / 251);
  return bytes;
}

std::vector<uint8_t> ReadAll(SOCKET s, size_t want, size_t piece) {
  std::vector<uint8_t> got;
  std::vector<char> buffer(piece);
  while (got.size() < want && Listener::Readable(s, 5000)) {
    const int n = recv(s, buffer.data(), static_cast<int>(buffer.size()), 0);
    if (n <= 0) break;
    got.insert(got.end(), buffer.begin(), buffer.begin() + n);
  }
  return got;
}

bool PeerClosed(SOCKET s) {
  char b;
  return Listener::Readable(s, 1000) && recv(s, &b, 1, 0) == 0;
}

TEST(WinTcp, SendsEveryByteAndDiscardsReplies) {
  WinLink link;
  Winsock winsock;
  Listener listener;
  const SocketHandle s = link.ConnectTcp(kLoopback, listener.Port(), 1000);
  ASSERT_TRUE(IsOpen(s));
  const SOCKET peer = listener.Accept();
  ASSERT_NE(peer, INVALID_SOCKET);
  const std::vector<uint8_t> job = Pattern(250);
  for (size_t at = 0; at < job.size(); at += 99) {
    ASSERT_TRUE(link.SendTcp(s, job.data() + at, std::min<size_t>(99, job.size() - at)));
  }
  EXPECT_EQ(ReadAll(peer, job.size(), 4096), job);

  EXPECT_TRUE(link.ReceiveTcp(s));
  ASSERT_EQ(send(peer, "OK", 2, 0), 2);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_TRUE(link.ReceiveTcp(s));
  closesocket(peer);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_FALSE(link.ReceiveTcp(s));
  link.CloseTcp(s);
}

TEST(WinTcp, ALargeChunkToASlowReaderArrivesWhole) {
  WinLink link;
  Winsock winsock;
  Listener listener;
  const SocketHandle s = link.ConnectTcp(kLoopback, listener.Port(), 1000);
  ASSERT_TRUE(IsOpen(s));
  const int small = 4096;
  setsockopt(SocketOf(s), SOL_SOCKET, SO_SNDBUF, reinterpret_cast<const char*>(&small), sizeof small);
  const SOCKET peer = listener.Accept();
  ASSERT_NE(peer, INVALID_SOCKET);
  const std::vector<uint8_t> job = Pattern(2 * 1024 * 1024);
  std::vector<uint8_t> got;
  std::thread reader([&] { got = ReadAll(peer, job.size(), 8192); });
  const bool sent = link.SendTcp(s, job.data(), job.size());
  reader.join();
  EXPECT_TRUE(sent);
  EXPECT_EQ(got.size(), job.size());
  EXPECT_TRUE(got == job);
  closesocket(peer);
  link.CloseTcp(s);
}

TEST(WinTcp, RefusedConnectFails) {
  WinLink link;
  Winsock winsock;
  uint16_t port;
  {
    Listener gone;
    port = gone.Port();
  }
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(link.ConnectTcp(kLoopback, port, 1500), kNoSocket);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(3000));
}

TEST(WinTcp, ConnectGivesUpAfterItsTimeOut) {
  WinLink link;
  Winsock winsock;
  // A listener whose queue is full drops further handshakes.
  Listener listener(0);
  std::vector<SOCKET> fillers;
  for (int i = 0; i < 4; ++i) {
    const SOCKET f = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    u_long nonBlocking = 1;
    ioctlsocket(f, FIONBIO, &nonBlocking);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(listener.Port());
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    connect(f, reinterpret_cast<sockaddr*>(&a), sizeof a);
    fillers.push_back(f);
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  const auto start = std::chrono::steady_clock::now();
  const SocketHandle s = link.ConnectTcp(kLoopback, listener.Port(), 300);
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(s, kNoSocket);
  EXPECT_GE(took, std::chrono::milliseconds(250));
  EXPECT_LT(took, std::chrono::milliseconds(2000));
  link.CloseTcp(s);
  for (const SOCKET f : fillers) closesocket(f);
}

TEST(WinTcp, ReconnectingClosesTheSocketBefore) {
  WinLink link;
  Winsock winsock;
  Listener listener(32);
  LinkState state;
  ASSERT_TRUE(ConnectTcp(link, state, kLoopback, listener.Port(), 1000));
  SOCKET previous = listener.Accept();
  ASSERT_NE(previous, INVALID_SOCKET);
  for (int i = 0; i < 10; ++i) {
    ASSERT_TRUE(ConnectTcp(link, state, kLoopback, listener.Port(), 1000));
    const SOCKET next = listener.Accept();
    ASSERT_NE(next, INVALID_SOCKET);
    EXPECT_TRUE(PeerClosed(previous)) << i;
    closesocket(previous);
    previous = next;
  }
  CloseLink(link, state);
  EXPECT_TRUE(PeerClosed(previous));
  closesocket(previous);
}

TEST(WinTcp, SendingToAPeerThatHasGoneFails) {
  WinLink link;
  Winsock winsock;
  Listener listener;
  const SocketHandle s = link.ConnectTcp(kLoopback, listener.Port(), 1000);
  ASSERT_TRUE(IsOpen(s));
  const SOCKET peer = listener.Accept();
  ASSERT_NE(peer, INVALID_SOCKET);
  const linger reset{1, 0};
  setsockopt(peer, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&reset), sizeof reset);
  closesocket(peer);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  const std::vector<uint8_t> chunk = Pattern(64 * 1024);
  bool failed = false;
  for (int i = 0; i < 50 && !failed; ++i) failed = !link.SendTcp(s, chunk.data(), chunk.size());
  EXPECT_TRUE(failed);
  link.CloseTcp(s);
  EXPECT_FALSE(link.SendTcp(kNoSocket, chunk.data(), 1));
}

}  // namespace
}  // namespace plotsend
