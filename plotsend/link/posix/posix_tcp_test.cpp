#include <arpa/inet.h>
#include <dirent.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "link_state.h"
#include "posix_link.h"

namespace plotsend {
namespace {

constexpr Ipv4Address kLoopback{{127, 0, 0, 1}};

// A listener on 127.0.0.1 at an ephemeral port.
class Listener {
 public:
  explicit Listener(int backlog = 8) {
    fd_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof a;
    if (bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || listen(fd_, backlog) != 0 ||
        getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &size) != 0) {
      ADD_FAILURE() << "no loopback listener";
    }
    port_ = ntohs(a.sin_port);
  }
  ~Listener() { Close(); }
  void Close() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
  }
  uint16_t Port() const { return port_; }
  // The next connection, or -1 after a second.
  int Accept() const {
    pollfd p{fd_, POLLIN, 0};
    if (poll(&p, 1, 1000) != 1) return -1;
    return accept(fd_, nullptr, nullptr);
  }

 private:
  int fd_ = -1;
  uint16_t port_ = 0;
};

std::vector<uint8_t> Pattern(size_t n) {
  std::vector<uint8_t> bytes(n);
  for (size_t i = 0; i < n; ++i) bytes[i] = static_cast<uint8_t>(i * 7 + i / 251);
  return bytes;
}

// Reads until `want` bytes arrived or the peer closed, in pieces of `piece`
// bytes with a pause after each, like a slow cutter.
std::vector<uint8_t> ReadAll(int fd, size_t want, size_t piece, std::chrono::microseconds pause) {
  std::vector<uint8_t> got;
  std::vector<uint8_t> buffer(piece);
  while (got.size() < want) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, 5000) != 1) break;
    const ssize_t n = recv(fd, buffer.data(), buffer.size(), 0);
    if (n <= 0) break;
    got.insert(got.end(), buffer.begin(), buffer.begin() + n);
    std::this_thread::sleep_for(pause);
  }
  return got;
}

size_t OpenDescriptors() {
  size_t n = 0;
  if (DIR* d = opendir("/proc/self/fd")) {
    while (readdir(d) != nullptr) ++n;
    closedir(d);
  }
  return n;
}

// Whether the peer of `fd` closed its end within a second.
bool PeerClosed(int fd) {
  pollfd p{fd, POLLIN, 0};
  uint8_t b;
  return poll(&p, 1, 1000) == 1 && recv(fd, &b, 1, 0) == 0;
}

TEST(PosixTcp, SendsEveryByteAndDiscardsReplies) {
  Listener listener;
  PosixLink link;
  const SocketHandle s = link.ConnectTcp(kLoopback, listener.Port(), 1000);
  ASSERT_TRUE(IsOpen(s));
  const int peer = listener.Accept();
  ASSERT_GE(peer, 0);
  const std::vector<uint8_t> job = Pattern(250);
  for (size_t at = 0; at < job.size(); at += 99) {
    ASSERT_TRUE(link.SendTcp(s, job.data() + at, std::min<size_t>(99, job.size() - at)));
  }
  EXPECT_EQ(ReadAll(peer, job.size(), 4096, {}), job);

  EXPECT_TRUE(link.ReceiveTcp(s));  // nothing waiting: no block, no failure
  ASSERT_EQ(send(peer, "OK", 2, 0), 2);
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_TRUE(link.ReceiveTcp(s));
  close(peer);
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_FALSE(link.ReceiveTcp(s));
  link.CloseTcp(s);
}

TEST(PosixTcp, PartialSendsAreContinuedUntilTheChunkIsOut) {
  Listener listener;
  PosixLink link;
  const SocketHandle s = link.ConnectTcp(kLoopback, listener.Port(), 1000);
  ASSERT_TRUE(IsOpen(s));
  const int small = 4096;
  setsockopt(FdOf(s), SOL_SOCKET, SO_SNDBUF, &small, sizeof small);
  const int peer = listener.Accept();
  ASSERT_GE(peer, 0);

  const std::vector<uint8_t> job = Pattern(2 * 1024 * 1024);
  std::vector<uint8_t> got;
  std::thread reader([&] { got = ReadAll(peer, job.size(), 8192, std::chrono::microseconds(100)); });
  const bool sent = link.SendTcp(s, job.data(), job.size());
  reader.join();
  EXPECT_TRUE(sent);
  EXPECT_EQ(got.size(), job.size());
  EXPECT_TRUE(got == job);
  close(peer);
  link.CloseTcp(s);
}

TEST(PosixTcp, RefusedConnectLeavesNothingOpen) {
  uint16_t port;
  {
    Listener gone;
    port = gone.Port();
  }
  PosixLink link;
  const size_t before = OpenDescriptors();
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(link.ConnectTcp(kLoopback, port, 2000), kNoSocket);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1000));
  EXPECT_EQ(OpenDescriptors(), before);
}

TEST(PosixTcp, ConnectGivesUpAfterItsTimeOut) {
  // A listener whose queue is full drops further handshakes, so a connect to
  // it stays pending.
  Listener listener(0);
  std::vector<int> fillers;
  for (int i = 0; i < 4; ++i) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(listener.Port());
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const int raw = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
    connect(raw, reinterpret_cast<sockaddr*>(&a), sizeof a);
    fillers.push_back(raw);
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(100));

  PosixLink link;
  const auto start = std::chrono::steady_clock::now();
  const SocketHandle s = link.ConnectTcp(kLoopback, listener.Port(), 300);
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(s, kNoSocket);
  EXPECT_GE(took, std::chrono::milliseconds(250));
  EXPECT_LT(took, std::chrono::milliseconds(2000));
  link.CloseTcp(s);
  for (const int fd : fillers) close(fd);
}

TEST(PosixTcp, ReconnectingClosesTheSocketBefore) {
  Listener listener(32);
  PosixLink link;
  LinkState state;
  ASSERT_TRUE(ConnectTcp(link, state, kLoopback, listener.Port(), 1000));
  int previous = listener.Accept();
  ASSERT_GE(previous, 0);
  const size_t open = OpenDescriptors();
  for (int i = 0; i < 20; ++i) {
    ASSERT_TRUE(ConnectTcp(link, state, kLoopback, listener.Port(), 1000));
    const int next = listener.Accept();
    ASSERT_GE(next, 0);
    EXPECT_TRUE(PeerClosed(previous)) << i;
    close(previous);
    previous = next;
    EXPECT_EQ(OpenDescriptors(), open);
  }
  CloseLink(link, state);
  EXPECT_TRUE(PeerClosed(previous));
  close(previous);
}

TEST(PosixTcp, SendingToAPeerThatHasGoneFailsWithoutASignal) {
  Listener listener;
  PosixLink link;
  const SocketHandle s = link.ConnectTcp(kLoopback, listener.Port(), 1000);
  ASSERT_TRUE(IsOpen(s));
  const int peer = listener.Accept();
  ASSERT_GE(peer, 0);
  const linger reset{1, 0};
  setsockopt(peer, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
  close(peer);
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  const std::vector<uint8_t> chunk = Pattern(64 * 1024);
  bool failed = false;
  for (int i = 0; i < 50 && !failed; ++i) failed = !link.SendTcp(s, chunk.data(), chunk.size());
  EXPECT_TRUE(failed);
  link.CloseTcp(s);
  EXPECT_FALSE(link.SendTcp(kNoSocket, chunk.data(), 1));
}

}  // namespace
}  // namespace plotsend
